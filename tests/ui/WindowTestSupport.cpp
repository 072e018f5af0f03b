#include "WindowTestSupport.h"

#include "framework/Module.h"
#include "resources/resource.h"

namespace varnel::test {

std::string RadioChecks(HWND dialog) {
    std::string checks;
    for (const int id : {IDC_MONO, IDC_STEREO, IDC_JOIN_1_TO_2, IDC_JOIN_2_TO_1})
        checks += IsDlgButtonChecked(dialog, id) == BST_CHECKED ? '1' : '0';
    return checks;
}

std::string FunctionMenuChecks(HWND dialog) {
    const HMENU menu = GetMenu(dialog);
    std::string checks;
    for (const int id : {IDM_FUNCTION_MONO, IDM_FUNCTION_STEREO, IDM_FUNCTION_JOIN_1_TO_2, IDM_FUNCTION_JOIN_2_TO_1})
        checks += (GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) ? '1' : '0';
    return checks;
}

std::string FileText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> StaticTexts(HWND dialog) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(child, name, sizeof(name));
        if (lstrcmpiA(name, "Static") == 0 && !(GetWindowLongA(child, GWL_STYLE) & SS_ICON))
            texts.push_back(TextOf(child));
    }
    return texts;
}

std::string AppCaption() { return "Varnel"; }

VarnelWindow::VarnelWindow() {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
}

INT_PTR VarnelWindow::Open(CVarnelDlg& dlg, const std::function<void(HWND)>& drive) {
    ModalScript script;
    m_script = &script;
    script.Then(drive);
    m_app.m_pMainWnd = &dlg;
    const INT_PTR result = dlg.DoModal();
    m_app.m_pMainWnd = nullptr;
    m_unusedSteps = script.Pending();
    m_script = nullptr;
    return result;
}

void VarnelWindow::Answer(std::vector<BoxContents>& shown, int button) {
    m_script->Then([&shown, button](HWND box) {
        shown.push_back(ReadBox(box));
        PressButton(box, button);
    });
}

void VarnelWindow::WriteIni(const std::string& text) const {
    m_folder.Write("varnel.ini", Bytes(text.begin(), text.end()));
}

}  // namespace varnel::test
