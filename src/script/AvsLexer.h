// Splits a script into tokens. Comments (#, /* */, nested [* *]) and line
// continuations (a backslash ending a line or starting the next one) vanish
// here; every token keeps the line and column it starts at.
#pragma once

#include "script/AvsError.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace discforge {

enum class AvsTokenKind { Identifier, Integer, Float, String, Symbol, Newline, End };

struct AvsToken {
    AvsTokenKind kind = AvsTokenKind::End;
    std::string text; // identifier, string contents or symbol
    std::int64_t integer = 0;
    double real = 0;
    int line = 1;
    int column = 1;
};

// The tokens of `script`, ending with one End token; false with `error` at
// the first byte that cannot start a token.
bool LexAvsScript(std::string_view script, std::vector<AvsToken>& tokens, AvsError& error);

} // namespace discforge
