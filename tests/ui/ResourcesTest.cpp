// The program's resources: the main window's template (controls in tab
// order with kinds, captions, exact styles and places), its menu, system
// menu and icons as the running window shows them, the About box template,
// the icon's four images and the manifest's code page.
#include "VarnelVersion.h"
#include "WinTestSupport.h"
#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/Module.h"
#include "resources/resource.h"
#include "support/TempFolder.h"
#include "ui/VarnelDlg.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace varnel {
namespace {

using test::PressButton;
using test::TextOf;

struct ControlRow {
    int id;
    std::string kind;
    std::string caption;
    RECT place;  // x, y, width, height in dialog units, as the template gives them
};

// Dialog 102's controls, in template (tab) order.
const std::vector<ControlRow> kMainWindowControls = {
    {1004, "Edit", "", {75, 9, 163, 12}},
    {1007, "Button", "Browse...", {243, 9, 39, 12}},
    {1005, "Edit", "", {75, 30, 163, 12}},
    {1008, "Button", "Browse...", {243, 30, 39, 12}},
    {1006, "Edit", "", {75, 50, 163, 12}},
    {1009, "Button", "Browse...", {243, 50, 39, 12}},
    {1000, "Button", "Merge : Mono", {15, 79, 60, 10}},
    {1001, "Button", "Merge : Stereo", {15, 95, 60, 10}},
    {1002, "Button", "Join File 1 --> File 2", {83, 80, 76, 10}},
    {1003, "Button", "Join File2 --> File 1", {83, 95, 76, 10}},
    {1017, "Button", "Cool Edit", {205, 85, 36, 12}},
    {1018, "Button", "Browse...", {250, 85, 36, 12}},
    {1010, "Button", "Run...", {205, 113, 36, 12}},
    {1, "Button", "Quit", {250, 113, 36, 12}},
    {-1, "Button", "Functions", {5, 69, 185, 40}},
    {-1, "Button", "Files", {5, 0, 285, 65}},
    {-1, "Static", "Input Sound File 1", {10, 10, 66, 8}},
    {-1, "Static", "Input Sound File 2", {10, 30, 66, 8}},
    {-1, "Static", "Output Sound File", {10, 50, 66, 8}},
    {1011, "msctls_progress32", "Progress1", {5, 115, 185, 10}},
    {-1, "Button", "Sound Editor", {201, 69, 89, 40}},
};

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

LONG_PTR StyleOf(HWND hwnd) { return GetWindowLongPtrA(hwnd, GWL_STYLE); }

std::string MenuText(HMENU menu, UINT position) {
    char text[128] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

class Resources : public ::testing::Test {
protected:
    Resources() {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&classes);
    }

    // Opens the main window and runs `look` on it before closing it.
    void WithMainWindow(const std::function<void(HWND, CVarnelDlg&)>& look) {
        CVarnelDlg dlg(m_folder / "varnel.ini");
        test::ModalScript script;
        script.Then([&](HWND hwnd) {
            look(hwnd, dlg);
            test::Cancel(hwnd);
        });
        m_app.m_pMainWnd = &dlg;
        dlg.DoModal();
        m_app.m_pMainWnd = nullptr;
        EXPECT_EQ(script.Pending(), 0u);
    }

    test::TempFolder m_folder;
    test::ComApartment m_com;
    framework::Application m_app;
};

// Dialog 102 as the resource holds it (DLGTEMPLATEEX), before the dialog
// manager adjusts any style.
struct TemplateItem {
    DWORD exStyle = 0;
    DWORD style = 0;
    RECT place{};
    int id = 0;
    std::string kind;  // class name, or "#" and the ordinal of a predefined class
    std::string title;
};
struct DialogTemplate {
    DWORD exStyle = 0;
    DWORD style = 0;
    RECT size{};
    int menu = 0;
    std::string title;
    int pointSize = 0;
    std::string font;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : m_at(data) {}
    WORD Word() { return Take<WORD>(); }
    DWORD Dword() { return Take<DWORD>(); }
    short Short() { return Take<short>(); }
    std::string Text() {
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) text += static_cast<char>(c);
        return text;
    }
    // A name or an ordinal ("#128"); "" when none.
    std::string NameOrOrdinal() {
        const WORD first = Peek();
        if (first == 0) return Word(), "";
        if (first == 0xFFFF) return Word(), "#" + std::to_string(Word());
        return Text();
    }
    void AlignToDword() {
        while (reinterpret_cast<std::uintptr_t>(m_at) % 4) ++m_at;
    }
    void Skip(std::size_t bytes) { m_at += bytes; }

private:
    template <class T>
    T Take() {
        T value;
        std::memcpy(&value, m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }
    WORD Peek() const {
        WORD value;
        std::memcpy(&value, m_at, sizeof(WORD));
        return value;
    }
    const BYTE* m_at;
};

DialogTemplate ReadDialogTemplate(int id) {
    DialogTemplate dialog;
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!found) return dialog;
    TemplateReader in(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))));
    // An extended template (DLGTEMPLATEEX) starts with version 1 and
    // signature 0xFFFF; a classic one (DLGTEMPLATE) with its style.
    TemplateReader peek = in;
    const bool extended = peek.Word() == 1 && peek.Word() == 0xFFFF;
    if (extended) {
        in.Skip(4);
        in.Dword();  // help id
        dialog.exStyle = in.Dword();
        dialog.style = in.Dword();
    } else {
        dialog.style = in.Dword();
        dialog.exStyle = in.Dword();
    }
    const WORD count = in.Word();
    const short x = in.Short(), y = in.Short(), cx = in.Short(), cy = in.Short();
    dialog.size = {x, y, cx, cy};
    const std::string menu = in.NameOrOrdinal();
    dialog.menu = menu.size() > 1 && menu[0] == '#' ? std::stoi(menu.substr(1)) : 0;
    in.NameOrOrdinal();  // window class
    dialog.title = in.Text();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.Word();
        if (extended) {
            in.Word();   // weight
            in.Skip(2);  // italic, character set
        }
        dialog.font = in.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignToDword();
        TemplateItem item;
        if (extended) {
            in.Dword();  // help id
            item.exStyle = in.Dword();
            item.style = in.Dword();
        } else {
            item.style = in.Dword();
            item.exStyle = in.Dword();
        }
        const short ix = in.Short(), iy = in.Short(), icx = in.Short(), icy = in.Short();
        item.place = {ix, iy, icx, icy};
        item.id = extended ? static_cast<int>(in.Dword()) : static_cast<short>(in.Word());
        item.kind = in.NameOrOrdinal();
        item.title = in.NameOrOrdinal();
        in.Skip(in.Word());  // creation data
        dialog.items.push_back(item);
    }
    return dialog;
}

// The class name a template item's kind stands for: the resource compiler
// writes predefined classes as ordinals or in capitals.
std::string TemplateKind(const std::string& kind) {
    if (kind == "#128") return "Button";
    if (kind == "#129") return "Edit";
    if (kind == "#130") return "Static";
    for (const char* name : {"Button", "Edit", "Static", PROGRESS_CLASSA}) {
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, kind.c_str(), -1, name, -1) == CSTR_EQUAL) return name;
    }
    return kind;
}

TEST(MainWindowTemplate, DialogHasItsStylesSizeMenuCaptionAndFont) {
    const DialogTemplate dialog = ReadDialogTemplate(IDD_VARNEL_DIALOG);
    EXPECT_EQ(dialog.style, static_cast<DWORD>(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION |
                                               WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_EQ(dialog.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(dialog.size.right, 297);
    EXPECT_EQ(dialog.size.bottom, 130);
    EXPECT_EQ(dialog.menu, 131);
    EXPECT_EQ(dialog.title, "Varnel");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.font, "MS Sans Serif");
}

TEST(MainWindowTemplate, ControlsHaveExactlyTheirStyles) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
    constexpr DWORD kPush = kChild | WS_TABSTOP | BS_PUSHBUTTON;
    constexpr DWORD kDefault = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
    constexpr DWORD kRadio = kChild | BS_AUTORADIOBUTTON;
    constexpr DWORD kGroupBox = kChild | BS_GROUPBOX;
    constexpr DWORD kLabel = kChild | WS_GROUP | SS_LEFT;  // the resource language's LTEXT
    const DWORD expected[][2] = {
        {kEdit, WS_EX_ACCEPTFILES},
        {kPush, 0},
        {kEdit, WS_EX_ACCEPTFILES},
        {kPush, 0},
        {kEdit, WS_EX_ACCEPTFILES},
        {kPush, 0},
        {kRadio | WS_GROUP, 0},
        {kRadio, 0},
        {kRadio, 0},
        {kRadio, 0},
        {kDefault, 0},
        {kPush, 0},
        {kPush, 0},
        {kDefault, 0},
        {kGroupBox, 0},
        {kGroupBox, 0},
        {kLabel, 0},
        {kLabel, 0},
        {kLabel, 0},
        {kChild | WS_BORDER | PBS_SMOOTH, 0},
        {kGroupBox, 0},
    };
    const DialogTemplate dialog = ReadDialogTemplate(IDD_VARNEL_DIALOG);
    ASSERT_EQ(dialog.items.size(), kMainWindowControls.size());
    for (std::size_t i = 0; i < dialog.items.size(); ++i) {
        const TemplateItem& item = dialog.items[i];
        const ControlRow& row = kMainWindowControls[i];
        EXPECT_EQ(item.id, row.id) << "control " << i;
        EXPECT_EQ(TemplateKind(item.kind), row.kind) << "control " << i;
        EXPECT_EQ(item.title, row.caption) << "control " << i;
        EXPECT_EQ(item.place.left, row.place.left) << "control " << i;
        EXPECT_EQ(item.place.top, row.place.top) << "control " << i;
        EXPECT_EQ(item.place.right, row.place.right) << "control " << i;
        EXPECT_EQ(item.place.bottom, row.place.bottom) << "control " << i;
        EXPECT_EQ(item.style, expected[i][0]) << "control " << i << std::hex << " style " << item.style;
        EXPECT_EQ(item.exStyle, expected[i][1]) << "control " << i;
    }
}

// The version line as the program's version gives it.
std::string AboutVersionLine() {
    return "Varnel Version " + std::to_string(VARNEL_VERSION_MAJOR) + "." + std::to_string(VARNEL_VERSION_MINOR);
}

TEST(AboutBoxTemplate, IsAClassicTemplateWithItsControlsExactlyInPlace) {
    const DialogTemplate about = ReadDialogTemplate(IDD_ABOUTBOX);
    EXPECT_EQ(about.style, static_cast<DWORD>(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(about.size.left, 0);
    EXPECT_EQ(about.size.top, 0);
    EXPECT_EQ(about.size.right, 237);
    EXPECT_EQ(about.size.bottom, 55);
    EXPECT_EQ(about.title, "About Varnel");
    EXPECT_EQ(about.pointSize, 8);
    EXPECT_EQ(about.font, "MS Sans Serif");

    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    struct Expected {
        int id;
        std::string kind, title;
        RECT place;
        DWORD style;
    };
    const std::vector<Expected> controls = {
        {-1, "Static", "#128", {5, 15, 21, 20}, kChild | SS_ICON},
        {-1, "Static", AboutVersionLine(), {40, 10, 119, 8}, kChild | SS_LEFT | WS_GROUP | SS_NOPREFIX},
        {-1, "Static", "Copyright (C) 2026", {40, 25, 63, 8}, kChild | SS_LEFT | WS_GROUP},
        {IDOK, "Button", "OK", {178, 7, 50, 14}, kChild | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
        {-1, "Static", "The Varnel team", {40, 40, 65, 8}, kChild | SS_LEFT | WS_GROUP},
    };
    ASSERT_EQ(about.items.size(), controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const TemplateItem& item = about.items[i];
        EXPECT_EQ(item.id, controls[i].id) << "control " << i;
        EXPECT_EQ(TemplateKind(item.kind), controls[i].kind) << "control " << i;
        EXPECT_EQ(item.title, controls[i].title) << "control " << i;
        EXPECT_EQ(item.place.left, controls[i].place.left) << "control " << i;
        EXPECT_EQ(item.place.top, controls[i].place.top) << "control " << i;
        EXPECT_EQ(item.place.right, controls[i].place.right) << "control " << i;
        EXPECT_EQ(item.place.bottom, controls[i].place.bottom) << "control " << i;
        EXPECT_EQ(item.style, controls[i].style) << "control " << i << std::hex << " style " << item.style;
        EXPECT_EQ(item.exStyle, 0u) << "control " << i;
    }
}

TEST_F(Resources, MenuHasItsFourPopupsWithMonoChecked) {
    WithMainWindow([](HWND hwnd, CVarnelDlg&) {
        const HMENU menu = GetMenu(hwnd);
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(GetMenuItemCount(menu), 4);
        struct Item {
            std::string text;
            UINT id;
        };
        const std::vector<std::pair<std::string, std::vector<Item>>> expected = {
            {"File", {{"Run...", 32781}, {"Exit", 32771}}},
            {"Selecting Files", {{"Sound File 1", 32778}, {"Sound File 2", 32779}, {"Output File", 32780}}},
            {"Function",
             {{"Mono", 32772}, {"Stereo", 32774}, {"Join File 1 to 2", 32775}, {"Join File 2 to 1", 32776}}},
            {"Help", {{"About...", 32773}}},
        };
        for (UINT p = 0; p < expected.size(); ++p) {
            EXPECT_EQ(MenuText(menu, p), expected[p].first);
            const HMENU popup = GetSubMenu(menu, static_cast<int>(p));
            ASSERT_NE(popup, nullptr);
            ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected[p].second.size()));
            for (UINT i = 0; i < expected[p].second.size(); ++i) {
                EXPECT_EQ(MenuText(popup, i), expected[p].second[i].text);
                EXPECT_EQ(GetMenuItemID(popup, static_cast<int>(i)), expected[p].second[i].id);
            }
        }
        const HMENU function = GetSubMenu(menu, 2);
        EXPECT_NE(GetMenuState(function, 32772, MF_BYCOMMAND) & MF_CHECKED, 0u);
        for (const UINT id : {32774u, 32775u, 32776u})
            EXPECT_EQ(GetMenuState(function, id, MF_BYCOMMAND) & MF_CHECKED, 0u) << id;
    });
}

TEST_F(Resources, SystemMenuEndsWithSeparatorAndAboutEntry) {
    WithMainWindow([](HWND hwnd, CVarnelDlg&) {
        const HMENU system = GetSystemMenu(hwnd, FALSE);
        ASSERT_NE(system, nullptr);
        const int count = GetMenuItemCount(system);
        ASSERT_GE(count, 2);
        MENUITEMINFOA separator{};
        separator.cbSize = sizeof(separator);
        separator.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(system, static_cast<UINT>(count - 2), TRUE, &separator);
        EXPECT_NE(separator.fType & MFT_SEPARATOR, 0u);
        EXPECT_EQ(MenuText(system, static_cast<UINT>(count - 1)), "&About Varnel...");
        EXPECT_EQ(GetMenuItemID(system, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    });
}

TEST_F(Resources, WindowCarriesTheApplicationIconBigAndSmall) {
    WithMainWindow([](HWND hwnd, CVarnelDlg& dlg) {
        ASSERT_NE(dlg.m_hIcon, nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0)), dlg.m_hIcon);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0)), dlg.m_hIcon);
    });
}

TEST(IconResource, HoldsFourImagesOfTheGivenSizesAndColours) {
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
    struct GroupHeader {
        WORD reserved, type, count;
    };
#pragma pack(pop)
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const auto* header = static_cast<const GroupHeader*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_EQ(header->count, 4);
    const auto* entries = reinterpret_cast<const GroupEntry*>(header + 1);
    const int expected[4][3] = {{32, 32, 4}, {16, 16, 4}, {48, 48, 8}, {32, 32, 8}};  // width, height, bits
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(entries[i].width, expected[i][0]) << "image " << i;
        EXPECT_EQ(entries[i].height, expected[i][1]) << "image " << i;
        EXPECT_EQ(entries[i].bitCount, expected[i][2]) << "image " << i;
        EXPECT_EQ(entries[i].colours, expected[i][2] == 4 ? 16 : 0) << "image " << i;  // 0: 256 colours
    }
}

TEST(AboutBoxTemplate, ShowsItsCaptionLinesAndOkButton) {
    framework::Dialog about(IDD_ABOUTBOX, nullptr);
    std::vector<std::string> texts;
    std::string caption;
    bool hasIcon = false;
    test::ModalScript script;
    script.Then([&](HWND hwnd) {
        caption = TextOf(hwnd);
        for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if ((StyleOf(child) & SS_TYPEMASK) == SS_ICON && ClassOf(child) == "Static")
                hasIcon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
            else
                texts.push_back(TextOf(child));
        }
        PressButton(hwnd, IDOK);
    });
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(caption, "About Varnel");
    EXPECT_TRUE(hasIcon);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], AboutVersionLine());
    EXPECT_EQ(texts[2], "OK");
}

TEST(StringResource, AboutEntryText) { EXPECT_EQ(framework::LoadStringResource(IDS_ABOUTBOX), "&About Varnel..."); }

// The title the framework gives the boxes, where it looks for it.
TEST(StringResource, ApplicationTitleIsTheWindowsCaption) {
    EXPECT_EQ(IDS_APP_TITLE, framework::kAppTitleStringId);
    EXPECT_EQ(framework::AppTitle(), "Varnel");
}

TEST(Manifest, NarrowStringsUseUtf8) { EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)); }

}  // namespace
}  // namespace varnel
