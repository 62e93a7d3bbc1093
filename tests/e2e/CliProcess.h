// discforge-cli of this build, run as a child process the way a user runs it.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace discforge::test {

struct CliOutcome {
    int exitCode = -1; // -1 when the program did not exit normally (a signal ended it)
    std::string out;
    std::string err;
};

class CliProcess {
public:
    // Starts the program with `arguments` in the working folder `folder`.
    CliProcess(const std::vector<std::string>& arguments, const std::string& folder);
    ~CliProcess();
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // Sends the signal a terminal sends for Ctrl-C.
    void Interrupt() const;
    // Waits for the end and collects what the program printed.
    CliOutcome Wait();

private:
    pid_t pid_ = -1;
    int outFile_ = -1;
    int errFile_ = -1;
};

// Runs the program to its end.
CliOutcome RunCli(const std::vector<std::string>& arguments, const std::string& folder);

std::string CliPath();
// The user's state folder of a program run in `folder`: its run log is written below it.
std::string StateFolder(const std::string& folder);

// Whether ffmpeg and the DVD tools the disc tests run (dvdauthor, spumux, lsdvd) are installed.
bool DvdToolsInstalled();
inline constexpr const char* dvdToolsMissing
    = "ffmpeg, dvdauthor or lsdvd is not installed (scripts/install-deps.sh installs them)";

} // namespace discforge::test
