// Binding a call's arguments to a function's parameters, alike for the
// functions built in and those a script defines.
#pragma once

#include "script/AvsFunctions.h"

#include <string>
#include <utility>
#include <vector>

namespace discforge {

// "c first_frame:i [pad_audio:b] amount:f+" as parameters.
std::vector<AvsParameter> AvsParseParameters(const char* signature);

// Whether a value may be given for a parameter of the type; an integer
// serves for a number.
bool AvsFits(char type, const AvsValue& value);

struct AvsArguments {
    std::vector<AvsValue> positional; // nothing (an unset parameter passed on) leaves its parameter out
    std::vector<std::pair<std::string, AvsValue>> named;
};

// Fills `call.arguments` (and `call.extra`). A function whose first
// parameter is a clip that is not given gets `last` (null: "last" is unset).
bool AvsBind(AvsCall& call, const std::vector<AvsParameter>& parameters, AvsArguments& given, const AvsValue* last);

} // namespace discforge
