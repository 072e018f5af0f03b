// The application object and the entry that runs it, and the wait cursor.
#include "WinTestSupport.h"
#include "framework/Application.h"
#include "framework/Busy.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace varnel::framework {
namespace {

class RecordingApp : public Application {
public:
    std::string m_steps;
    bool m_throw = false;

    void InitInstance() override {
        m_steps += "init ";
        if (m_throw) throw std::runtime_error("start-up failed");
    }
    int ExitInstance() override {
        m_steps += "exit";
        return 7;
    }
};

TEST(ApplicationObject, IsTheOneTheEntryFinds) {
    EXPECT_EQ(GetApp(), nullptr);
    {
        RecordingApp app;
        EXPECT_EQ(GetApp(), &app);
    }
    EXPECT_EQ(GetApp(), nullptr);
}

TEST(ApplicationEntry, RunsStartUpThenExitAndReturnsItsCode) {
    RecordingApp app;
    EXPECT_EQ(RunApplication(), 7);
    EXPECT_EQ(app.m_steps, "init exit");
}

TEST(ApplicationEntry, FailingStartUpIsToldAndEndsTheProgramWithoutCrashing) {
    RecordingApp app;
    app.m_throw = true;
    test::BoxContents shown;
    test::ModalScript script;
    script.Then([&](HWND box) {
        shown = test::ReadBox(box);
        test::PressButton(box, IDOK);
    });
    EXPECT_EQ(RunApplication(), -1);
    EXPECT_EQ(shown.caption, "framework_tests");
    EXPECT_EQ(shown.text, "An unexpected error stopped the last action.\nstart-up failed");
}

TEST(WaitCursorScope, ShowsTheHourglassAndRestoresTheCursor) {
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(arrow);
    {
        WaitCursor wait;
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    }
    EXPECT_EQ(GetCursor(), arrow);
}

}  // namespace
}  // namespace varnel::framework
