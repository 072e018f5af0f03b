// The common file dialog from a "|" filter: the system's filter list, the
// settings handed over, and the real dialog cancelled or given a file.
#include "WinTestSupport.h"
#include "framework/FileDialog.h"
#include "support/TempFolder.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnel::framework {
namespace {

constexpr char kFilterA[] = "16 Bit Sound File (*.pcm)|*.pcm|PCM Raw Data (*.o22)|*.o22|All Files (*.*)|*.*||";
constexpr char kFilterB[] = "16 Bit Sound File (*.pcm)|*.pcm|PCM Raw Data (*.o22)|*.o22||";

// The entries of a system filter list, up to its empty entry.
std::vector<std::string> Entries(const char* list) {
    std::vector<std::string> entries;
    for (const char* entry = list; *entry; entry += std::string(entry).size() + 1) entries.emplace_back(entry);
    return entries;
}

TEST(FileDialogFilter, BarsBecomeTheSystemsPairList) {
    const std::string filter = SystemFilter(kFilterB);
    EXPECT_EQ(Entries(filter.c_str()),
              (std::vector<std::string>{"16 Bit Sound File (*.pcm)", "*.pcm", "PCM Raw Data (*.o22)", "*.o22"}));
    EXPECT_EQ(Entries(SystemFilter(kFilterA).c_str()).size(), 6u);
}

TEST(FileDialogFilter, FilterWithoutClosingBarsStillEnds) {
    const std::string filter = SystemFilter("Application (*.exe)|*.exe");
    EXPECT_EQ(Entries(filter.c_str()), (std::vector<std::string>{"Application (*.exe)", "*.exe"}));
}

TEST(FileDialogRun, CancelledDialogGivesNothing) {
    std::string caption;
    test::ModalScript script;
    script.Then([&](HWND hwnd) {
        caption = test::TextOf(hwnd);
        PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(ChooseFile(true, "c:\\*.pcm", OFN_HIDEREADONLY, kFilterA), std::nullopt);
    EXPECT_EQ(caption, "Open");
}

TEST(FileDialogRun, ChosenFileComesBackWithItsFullPath) {
    test::TempFolder folder;
    const std::string file = folder.Write("take me.pcm", {1, 2});
    std::vector<std::string> types;
    test::ModalScript script;
    script.Then([&](HWND hwnd) {
        const HWND typeList = GetDlgItem(hwnd, cmb1);
        const auto count = SendMessageA(typeList, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[256] = {};
            SendMessageA(typeList, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            types.emplace_back(text);
        }
        // The name field: a combo box (cmb13) in Explorer style, an edit in older ones.
        const HWND name = GetDlgItem(hwnd, cmb13) ? GetDlgItem(hwnd, cmb13) : GetDlgItem(hwnd, edt1);
        SetWindowTextA(name, file.c_str());
        PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
    });
    // Saving over an existing file asks first: answer Yes.
    script.Then([&](HWND box) { test::PressButton(box, IDYES); });
    EXPECT_EQ(ChooseFile(false, "c:\\*.pcm", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilterB), file);
    EXPECT_EQ(types, (std::vector<std::string>{"16 Bit Sound File (*.pcm)", "PCM Raw Data (*.o22)"}));
}

}  // namespace
}  // namespace varnel::framework
