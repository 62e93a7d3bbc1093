// Runs an external program (the disc authoring tools) the way a shell would:
// found on PATH, its output read line by line as it comes, and stopped when
// the user cancels.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace discforge {

struct ChildProgramRun {
    bool started = false;
    bool cancelled = false;
    int exitCode = -1; // -1 when a signal ended it
    std::string startError;
};

// Files in place of the program's standard input and output (a filter such as
// spumux reads one stream and writes another); empty: nothing in, output to onLine.
struct ChildFiles {
    std::string input;
    std::string output;
};

// The full path of `name` on PATH; empty when it is not there or not executable.
std::string FindOnPath(const std::string& name);

// Runs `command` (its first word a full path) in `folder`, hands every line it
// writes to standard output or standard error to `onLine`, and asks `cancelled`
// about ten times a second; a cancel ends the program (SIGTERM, then SIGKILL).
ChildProgramRun RunChildProgram(const std::vector<std::string>& command, const std::string& folder,
    const std::function<void(const std::string&)>& onLine, const std::function<bool()>& cancelled,
    const ChildFiles& files = {});

} // namespace discforge
