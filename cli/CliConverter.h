// One run of discforge-cli: open the inputs, apply the options, convert them in
// order through the encoder library, and tell how it went as an exit code.
#pragma once

#include "CliOptions.h"

namespace discforge::cli {

enum ExitCode : int {
    exitConverted = 0,
    exitFailed = 1,
    exitUsage = 2,
    exitInterrupted = 130,
};

// Runs the conversion. `interrupted` becomes true asynchronously (Ctrl-C); the
// running encode is then cancelled, its partial output removed.
int RunConversion(const CliOptions& options, const volatile bool& interrupted);

} // namespace discforge::cli
