// The window's words for a run's failures: the texts of its message boxes,
// one box per text, in the order shown.
#pragma once

#include <string>
#include <vector>

#include "processing/RunFailure.h"

namespace varnel {

std::vector<std::string> WindowTexts(const RunFailure& failure);

}  // namespace varnel
