// The operators on values other than clips: arithmetic, comparison, logic
// and joining strings. Joins of clips belong to the evaluator.
#pragma once

#include "script/AvsValue.h"

#include <string>

namespace discforge {

// False with `fault` (a message without the place) when the operator does
// not apply to the value.
bool AvsApplyUnary(const std::string& op, const AvsValue& value, AvsValue& out, std::string& fault);
bool AvsApplyBinary(
    const std::string& op, const AvsValue& left, const AvsValue& right, AvsValue& out, std::string& fault);

} // namespace discforge
