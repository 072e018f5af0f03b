// Each function's radio button and Function menu item. The radio buttons
// stand in this order in the window's template, from IDC_MONO on, so a
// button's index in the group is its row here.
#pragma once

#include <windows.h>

#include <iterator>

#include "processing/ProcessFunctions.h"
#include "resources/resource.h"

namespace varnel {

struct FunctionControls {
    ProcessFunction function;
    int radio;
    UINT menuItem;
};

inline constexpr FunctionControls kFunctionControls[] = {
    {ProcessFunction::Mono, IDC_MONO, IDM_FUNCTION_MONO},
    {ProcessFunction::Stereo, IDC_STEREO, IDM_FUNCTION_STEREO},
    {ProcessFunction::Join1To2, IDC_JOIN_1_TO_2, IDM_FUNCTION_JOIN_1_TO_2},
    {ProcessFunction::Join2To1, IDC_JOIN_2_TO_1, IDM_FUNCTION_JOIN_2_TO_1},
};

// The function of the radio button at `index` in the group (-1 when none is
// checked): None for any index without one.
inline ProcessFunction FunctionOfRadioIndex(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kFunctionControls))) return ProcessFunction::None;
    return kFunctionControls[index].function;
}

// The index in the group of `function`'s radio button, -1 for None.
inline int RadioIndexOf(ProcessFunction function) {
    for (int index = 0; index < static_cast<int>(std::size(kFunctionControls)); ++index) {
        if (kFunctionControls[index].function == function) return index;
    }
    return -1;
}

}  // namespace varnel
