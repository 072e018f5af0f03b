// Thin wrappers for the standard controls the program uses; attach them
// with Control's SubclassDlgItem or a data exchange's Control binding.
#pragma once

#include "Control.h"

namespace varnel::framework {

class Edit : public Control {};

class ProgressBar : public Control {
public:
    // Within the default range, 0 to 100.
    void SetPos(int position);
};

}  // namespace varnel::framework
