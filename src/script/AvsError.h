// The one failure of reading a script: what went wrong and where. The text
// names the function or token at fault; the place is the script's line and
// column (both from 1).
#pragma once

#include <string>

namespace discforge {

struct AvsError {
    std::string message;
    int line = 0;
    int column = 0;
};

// "<message> (line L, column C)".
std::string AvsErrorText(const AvsError& error);

} // namespace discforge
