// Parses a script's tokens into its tree, user functions included. Forms
// outside the language's common core (try/catch, loops) are refused here with
// their place.
#pragma once

#include "script/AvsError.h"
#include "script/AvsLexer.h"
#include "script/AvsSyntax.h"

#include <memory>
#include <string_view>

namespace discforge {

// Scripts larger than this are refused before lexing.
constexpr std::size_t maxAvsScriptBytes = std::size_t{1} << 20;

// Lexes and parses `script`; null with `error` filled on the first fault.
std::unique_ptr<AvsNode> ParseAvsScript(std::string_view script, AvsError& error);

} // namespace discforge
