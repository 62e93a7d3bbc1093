// A virtual X server (Xvfb) of the test's own, with an authority file, and
// programs started on it; everything is stopped when its object goes.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace discforge::test {

// A program started in `folder` with `environment` added to the test's own.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& command, const std::string& folder,
        const std::map<std::string, std::string>& environment);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    bool Running();
    pid_t Pid() const { return pid_; }
    // Processor time used so far (user and system), in seconds; negative when unknown.
    double CpuSeconds() const;

private:
    pid_t pid_ = -1;
    bool exited_ = false;
};

class XServer {
public:
    // Starts Xvfb with one screen of width x height at 24 bits, black.
    XServer(const std::string& folder, int width, int height);
    ~XServer();

    // Empty when the server could not be started; `Error` says why.
    const std::string& Display() const { return display_; }
    const std::string& Error() const { return error_; }
    // DISPLAY and XAUTHORITY for a client.
    std::map<std::string, std::string> ClientEnvironment() const;

private:
    void TryDisplay(int number, int width, int height, const std::string& folder);

    std::string display_;
    std::string authority_;
    std::string error_;
    ChildProcess* server_ = nullptr;
};

} // namespace discforge::test
