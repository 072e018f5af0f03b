// The "Sound Editor" group: "Cool Edit" starts the editor named in the
// settings file on the output file; "Browse..." chooses another editor.
#include "ui/VarnelDlg.h"

#include <commdlg.h>

#include "editor/SoundEditorLaunch.h"
#include "editor/SoundEditorSetting.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "framework/Module.h"

namespace varnel {
namespace {

constexpr char kInitialEditor[] = "C:\\*.exe";
constexpr char kEditorFilter[] = "Application (*.exe)|*.exe|All Files (*.*)|*.*||";
constexpr DWORD kEditorFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

}  // namespace

void CVarnelDlg::OnLaunchEditor() {
    UpdateData(true);  // the output path as the field shows it now
    // The settings file gone since start-up: look for Cool Edit 2000 again.
    if (!framework::FileExists(m_strIniFile)) DetectSoundEditor();
    // Read afresh at every press: the file is the only channel from the
    // discovery and the editor's "Browse...".
    m_szEditorProgram = ReadSoundEditorSetting(m_strIniFile);
    if (m_szEditorProgram == kNoSoundProgram) {
        framework::AppMessageBox("No Sound Editor Selected", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::string commandLine = EditorCommandLine(m_strQuote, m_strSpace, m_szEditorProgram, m_strOutputFile);
    if (!StartSoundEditor(commandLine)) {
        if (framework::AppMessageBox("Select A Sound Editor", MB_YESNO | MB_ICONQUESTION) == IDYES) {
            // The start is not tried again: a chosen editor starts at the next press.
            OnBrowseEditor();
        } else {
            WriteSoundEditorSetting(m_strIniFile, kNoSoundProgram);
        }
    }
    UpdateData(false);
}

void CVarnelDlg::OnBrowseEditor() {
    // Read first, so that the write-back below keeps what was typed.
    UpdateData(true);
    if (const auto chosen = framework::ChooseFile(true, kInitialEditor, kEditorFlags, kEditorFilter)) {
        m_strEditorPath = *chosen;
        WriteSoundEditorSetting(m_strIniFile, m_strEditorPath);
    }
    UpdateData(false);
}

}  // namespace varnel
