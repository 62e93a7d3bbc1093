#include "XServer.h"

#include "support/StreamChecks.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <random>
#include <sstream>
#include <thread>

namespace discforge::test {
namespace {

bool DisplayFree(int number)
{
    const std::string n = std::to_string(number);
    return !std::filesystem::exists("/tmp/.X" + n + "-lock") && !std::filesystem::exists("/tmp/.X11-unix/X" + n);
}

// The process id the X server wrote into the display's lock file, or -1.
pid_t LockOwner(int number)
{
    std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
    long owner = -1;
    return lock >> owner ? static_cast<pid_t>(owner) : -1;
}

std::string RandomCookie()
{
    std::random_device random;
    std::ostringstream cookie;
    // Eight hex digits from each draw, zero-padded: xauth wants an even count.
    for (int i = 0; i < 4; ++i) {
        cookie << std::hex << std::setw(8) << std::setfill('0') << (random() & 0xffffffffu);
    }
    return cookie.str();
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& command, const std::string& folder,
    const std::map<std::string, std::string>& environment)
{
    pid_ = fork();
    if (pid_ != 0) {
        return;
    }
    if (!folder.empty() && chdir(folder.c_str()) != 0) {
        _exit(127);
    }
    for (const auto& [name, value] : environment) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> arguments;
    for (const std::string& argument : command) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    execvp(arguments[0], arguments.data());
    _exit(127);
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0 && !exited_) {
        kill(pid_, SIGTERM);
        int status = 0;
        for (int wait = 0; wait < 50 && waitpid(pid_, &status, WNOHANG) == 0; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (waitpid(pid_, &status, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
    }
}

bool ChildProcess::Running()
{
    if (pid_ <= 0 || exited_) {
        return false;
    }
    int status = 0;
    exited_ = waitpid(pid_, &status, WNOHANG) == pid_;
    return !exited_;
}

double ChildProcess::CpuSeconds() const
{
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The fields after the program's name, which is in parentheses and may hold blanks.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long long userTicks = -1;
    long long systemTicks = -1;
    // Field 3 is the state; utime and stime are fields 14 and 15.
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14) {
            userTicks = std::stoll(field);
        } else if (number == 15) {
            systemTicks = std::stoll(field);
        }
    }
    if (userTicks < 0 || systemTicks < 0) {
        return -1;
    }
    return static_cast<double>(userTicks + systemTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

XServer::XServer(const std::string& folder, int width, int height)
{
    authority_ = folder + "/Xauthority";
    // Tests run side by side: two may pick the same free number at once, and the
    // loser's server stops at once. Only a server that owns the display's lock is ours.
    for (int number = 90; number < 200 && display_.empty(); ++number) {
        if (DisplayFree(number)) {
            TryDisplay(number, width, height, folder);
        }
    }
    if (display_.empty() && error_.empty()) {
        error_ = "no free display number for Xvfb";
    }
}

void XServer::TryDisplay(int number, int width, int height, const std::string& folder)
{
    const std::string display = ":" + std::to_string(number);
    const CommandResult added
        = RunCommand("xauth -q -f " + Quoted(authority_) + " add " + display + " . " + RandomCookie());
    if (added.exitCode != 0) {
        error_ = "xauth failed (is xauth installed?): " + added.output;
        return;
    }
    auto* server = new ChildProcess(
        {"Xvfb", display, "-screen", "0", std::to_string(width) + "x" + std::to_string(height) + "x24", "-auth",
            authority_, "-nolisten", "tcp", "-br", "-noreset"},
        folder, {});
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    for (int wait = 0; wait < 100 && server->Running(); ++wait) {
        if (std::filesystem::exists(socket) && LockOwner(number) == server->Pid()) {
            server_ = server;
            display_ = display;
            error_.clear();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    error_ = server->Running() ? "Xvfb did not open " + socket : "Xvfb did not start on " + display;
    delete server;
}

XServer::~XServer() { delete server_; }

std::map<std::string, std::string> XServer::ClientEnvironment() const
{
    return {{"DISPLAY", display_}, {"XAUTHORITY", authority_}, {"QT_QPA_PLATFORM", "xcb"}};
}

} // namespace discforge::test
