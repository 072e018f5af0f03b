// The drop field as the main window uses it: a real edit control in a real
// window, attached to a CDropEdit, receiving WM_DROPFILES with real HDROP
// blocks for real files, folders and shell shortcuts.
#include "DropTestSupport.h"
#include "dropedit/DropEdit.h"
#include "dropedit/FileKind.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace varnel {
namespace {

using test::MakeDrop;
using test::TempFolder;

// A top-level window holding one edit control, as a dialog holds its fields.
class FieldWindow {
public:
    explicit FieldWindow(DWORD editExStyle) {
        m_parent = CreateWindowExA(0, "STATIC", "drop test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 100, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        m_edit = CreateWindowExA(editExStyle, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10,
                                 300, 20, m_parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1004)),
                                 GetModuleHandleA(nullptr), nullptr);
    }
    ~FieldWindow() { DestroyWindow(m_parent); }
    FieldWindow(const FieldWindow&) = delete;
    FieldWindow& operator=(const FieldWindow&) = delete;

    HWND Parent() const { return m_parent; }
    HWND Edit() const { return m_edit; }

private:
    HWND m_parent = nullptr;
    HWND m_edit = nullptr;
};

std::string TextOf(HWND hwnd) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

class Drop : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_window.Edit(), nullptr);
        ASSERT_TRUE(m_field.SubclassWindow(GetDlgItem(m_window.Parent(), 1004)));
        m_field.SetAcceptDirectories(FALSE);
        m_field.SetText("");
    }

    // Sends the drop of `names` to the field, as the shell does.
    // `wide`: in UTF-16, from names given in UTF-8, as Explorer drops them.
    void DropNames(const std::vector<std::string>& names, bool wide = false) {
        const HDROP drop = MakeDrop(names, wide);
        ASSERT_NE(drop, nullptr);
        SendMessageA(m_window.Edit(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    }
    void Type(const std::string& text) {
        for (const char c : text) SendMessageA(m_window.Edit(), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    std::string Shown() const { return TextOf(m_window.Edit()); }

    std::string File(const std::string& name) const { return m_folder.Write(name, test::SampleBytes({7, -7})); }
    std::string Folder(const std::string& name) const {
        const std::string path = m_folder / name;
        std::filesystem::create_directory(path);
        return path;
    }
    std::string Shortcut(const std::string& name, const std::string& target) const {
        const std::string link = m_folder / name;
        EXPECT_TRUE(test::MakeShortcut(link, target)) << link;
        return link;
    }

    test::ComApartment m_com;
    TempFolder m_folder;
    FieldWindow m_window{WS_EX_ACCEPTFILES};
    CDropEdit m_field;
};

// --- which name counts, and of what kind ---------------------------------

TEST_F(Drop, FileIsShownOnAFilesField) {
    const std::string file = File("take.pcm");
    DropNames({file});
    EXPECT_EQ(Shown(), file);
}

TEST_F(Drop, FileFromAWideShellDropIsShown) {
    const std::string file = File("take.o22");
    DropNames({file}, true);
    EXPECT_EQ(Shown(), file);
}

TEST_F(Drop, FileWithAnAccentedNameIsShown) {
    // The shell drops wide names; the field shows them in the ANSI code page,
    // the code page the runtime's file status reads them in.
    const std::filesystem::path wide = m_folder.Path() / L"t\u00eate.pcm";
    test::WriteEmptyFile(wide);
    const std::string narrow = test::ToAnsi(wide.wstring());
    if (narrow.empty()) GTEST_SKIP() << "the ANSI code page has no \u00ea";
    const std::u8string utf8 = wide.u8string();
    DropNames({std::string(utf8.begin(), utf8.end())}, true);
    EXPECT_EQ(Shown(), narrow);
}

TEST_F(Drop, OnlyTheFirstOfSeveralFilesIsShown) {
    const std::string first = File("one.pcm");
    DropNames({first, File("two.pcm"), File("three.pcm")});
    EXPECT_EQ(Shown(), first);
}

TEST_F(Drop, RefusedFirstNameIsNotReplacedByALaterAcceptableOne) {
    DropNames({Folder("takes"), File("two.pcm")});
    EXPECT_EQ(Shown(), "");
    DropNames({m_folder / "missing.pcm", File("three.pcm")});
    EXPECT_EQ(Shown(), "");
}

TEST_F(Drop, FolderIsRefusedOnAFilesField) {
    DropNames({Folder("takes")});
    EXPECT_EQ(Shown(), "");
}

TEST_F(Drop, MissingPathIsRefused) {
    DropNames({m_folder / "never-written.pcm"});
    EXPECT_EQ(Shown(), "");
}

TEST_F(Drop, FolderIsShownAndFileRefusedOnADirectoriesField) {
    m_field.SetAcceptDirectories(TRUE);
    const std::string folder = Folder("takes");
    DropNames({folder});
    EXPECT_EQ(Shown(), folder);
    DropNames({File("take.pcm")});
    EXPECT_EQ(Shown(), folder);
}

TEST_F(Drop, FileOver4GiBIsShown) {
    // Sound files can be big: the file status must not fail on the size.
    const std::string file = m_folder / "long-session.pcm";
    std::filesystem::resize_file(File("long-session.pcm"), (std::uintmax_t{1} << 32) + 2);
    DropNames({file});
    EXPECT_EQ(Shown(), file);
}

// --- what happens to the field's text ------------------------------------

TEST_F(Drop, RefusedDropKeepsTypedText) {
    Type("C:\\my take.pcm");
    DropNames({Folder("takes")});
    EXPECT_EQ(Shown(), "C:\\my take.pcm");
    DropNames({m_folder / "missing.pcm"});
    EXPECT_EQ(Shown(), "C:\\my take.pcm");
}

TEST_F(Drop, AcceptedDropReplacesTypedText) {
    Type("C:\\my take.pcm");
    const std::string file = File("take.pcm");
    DropNames({file});
    EXPECT_EQ(Shown(), file);
}

// --- the drop handle ------------------------------------------------------

TEST_F(Drop, EveryDropIsEndedAndItsMemoryFreed) {
    const std::vector<std::vector<std::string>> drops = {
        {File("take.pcm")}, {Folder("takes")}, {m_folder / "missing.pcm", File("two.pcm")}, {}};
    for (const auto& names : drops) {
        const HDROP drop = MakeDrop(names);
        ASSERT_FALSE(test::IsFreed(drop));
        SendMessageA(m_window.Edit(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        EXPECT_TRUE(test::IsFreed(drop)) << names.size() << " names";
    }
}

// --- shell shortcuts ------------------------------------------------------

TEST_F(Drop, ShortcutToAFileShowsTheFile) {
    const std::string file = File("take.pcm");
    DropNames({Shortcut("take.lnk", file)});
    EXPECT_EQ(Shown(), file);
}

TEST_F(Drop, ShortcutToAFolderIsRefusedOnAFilesField) {
    DropNames({Shortcut("takes.lnk", Folder("takes"))});
    EXPECT_EQ(Shown(), "");
}

TEST_F(Drop, ShortcutToAFolderShowsTheFolderOnADirectoriesField) {
    m_field.SetAcceptDirectories(TRUE);
    const std::string folder = Folder("takes");
    DropNames({Shortcut("takes.lnk", folder)});
    EXPECT_EQ(Shown(), folder);
}

TEST_F(Drop, ShortcutToAMissingFileIsRefused) {
    const std::string file = File("gone.pcm");
    const std::string link = Shortcut("gone.lnk", file);
    std::filesystem::remove(file);
    Type("C:\\my take.pcm");
    DropNames({link});
    EXPECT_EQ(Shown(), "C:\\my take.pcm");
}

TEST_F(Drop, ShortcutWithoutAFileSystemTargetShowsItself) {
    const std::string link = m_folder / "computer.lnk";
    if (!test::MakeShortcutWithoutPath(link)) GTEST_SKIP() << "the shell cannot save a shortcut to My Computer";
    DropNames({link});
    EXPECT_EQ(Shown(), link);
}

TEST_F(Drop, FileNamedLikeAShortcutShowsItself) {
    const std::string file = File("take.lnk");
    DropNames({file});
    EXPECT_EQ(Shown(), file);
}

TEST_F(Drop, ShortcutAtAPathOf260CharactersOrMoreIsNotFollowed) {
    std::string folder = m_folder / "";
    while (folder.size() < 300) folder += std::string(40, 'd') + "\\";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string link = folder + "take.lnk";
    if (error || !test::MakeShortcut(link, File("take.pcm")))
        GTEST_SKIP() << "this system cannot write a file at a path of " << link.size() << " characters";

    Type("C:\\my take.pcm");
    DropNames({link});
    // The shortcut file stands for itself: shown where the runtime can read
    // its status at this length, refused where it cannot.
    if (QueryPathKind(link) == PathKind::RegularFile)
        EXPECT_EQ(Shown(), link);
    else
        EXPECT_EQ(Shown(), "C:\\my take.pcm");
}

// --- registering as a drop target -----------------------------------------

// The field attached to a window about to be created, before its first
// message, so that its own WM_CREATE reaches it.
CDropEdit* gFieldToAttach = nullptr;

LRESULT CALLBACK AttachAtCreation(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && gFieldToAttach) {
        gFieldToAttach->SubclassWindow(reinterpret_cast<HWND>(wp));
        gFieldToAttach = nullptr;
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(DropTarget, FieldCreatedWithItsObjectRegistersForDrops) {
    test::ComApartment com;
    TempFolder folder;
    FieldWindow window(WS_EX_ACCEPTFILES);
    CDropEdit field;
    gFieldToAttach = &field;
    const HHOOK hook = SetWindowsHookExA(WH_CBT, &AttachAtCreation, nullptr, GetCurrentThreadId());
    const HWND created = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 40, 300,
                                         20, window.Parent(), nullptr, nullptr, nullptr);
    UnhookWindowsHookEx(hook);
    ASSERT_NE(created, nullptr);
    ASSERT_EQ(field.GetSafeHwnd(), created);
    EXPECT_TRUE(GetWindowLongPtrA(field.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    const std::string file = folder.Write("take.pcm", test::SampleBytes({1}));
    SendMessageA(field.GetSafeHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({file})), 0);
    EXPECT_EQ(TextOf(field.GetSafeHwnd()), file);
}

}  // namespace
}  // namespace varnel
