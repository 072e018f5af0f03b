// The application's message box: the application's title as caption (the
// program's name, for a program with no title in its string table, as this
// one), the text as given, the pressed button as result.
#include "WinTestSupport.h"
#include "framework/MessageBox.h"

#include <gtest/gtest.h>

namespace varnel::framework {
namespace {

TEST(AppMessageBox, CaptionIsTheProgramNameAndTheAnswerComesBack) {
    test::BoxContents shown;
    test::ModalScript script;
    script.Then([&](HWND box) {
        shown = test::ReadBox(box);
        test::PressButton(box, IDNO);
    });
    EXPECT_EQ(AppMessageBox("Select A Sound Editor", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(shown.caption, "framework_tests");
    EXPECT_EQ(shown.text, "Select A Sound Editor");
}

TEST(AppMessageBox, OkBoxReturnsOk) {
    test::BoxContents shown;
    test::ModalScript script;
    script.Then([&](HWND box) {
        shown = test::ReadBox(box);
        test::PressButton(box, IDOK);
    });
    EXPECT_EQ(AppMessageBox("Input File 1 not found"), IDOK);
    EXPECT_EQ(shown.text, "Input File 1 not found");
}

}  // namespace
}  // namespace varnel::framework
