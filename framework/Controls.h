// Thin wrappers for the standard controls the program uses; attach them
// with Control's SubclassDlgItem or a data exchange's Control binding.
#pragma once

#include "Control.h"

namespace varnel::framework {

class Edit : public Control {};

class Button : public Control {
public:
    // BST_UNCHECKED (0), BST_CHECKED (1) or BST_INDETERMINATE (2).
    void SetCheck(int state);
    int GetCheck() const;
};

class ProgressBar : public Control {
public:
    void SetRange(int lower, int upper);
    // Returns the previous position.
    int SetPos(int position);
    int GetPos() const;
};

}  // namespace varnel::framework
