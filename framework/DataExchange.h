// Data exchange between a dialog's controls and its members, written once
// in DoDataExchange and run in either direction by UpdateData.
#pragma once

#include <string>

namespace varnel::framework {

class Control;
class Dialog;

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate) : m_dialog(dialog), m_saving(saveAndValidate) {}

    // True when reading (controls into members).
    bool IsSaving() const { return m_saving; }
    // Attaches `control` to control `id` the first time; both directions.
    void Control(int id, framework::Control& control);
    // The whole text of control `id`.
    void Text(int id, std::string& value);
    // The index of the checked radio button in the group that starts at
    // control `firstId`, -1 when none is checked; writing -1 clears them all.
    void Radio(int firstId, int& index);

private:
    Dialog& m_dialog;
    bool m_saving;
};

}  // namespace varnel::framework
