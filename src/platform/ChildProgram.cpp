#include "platform/ChildProgram.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace discforge {
namespace {

// Hands out the complete lines of what arrives; a last line without its end
// comes out when the program has finished.
class LineSplitter {
public:
    explicit LineSplitter(const std::function<void(const std::string&)>& onLine)
        : onLine_(onLine)
    {
    }
    void Add(const char* bytes, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i) {
            const char c = bytes[i];
            // Progress lines end in a carriage return only; each counts as a line.
            if (c == '\n' || c == '\r') {
                Flush();
            } else {
                pending_ += c;
            }
        }
    }
    void Flush()
    {
        if (!pending_.empty()) {
            onLine_(pending_);
            pending_.clear();
        }
    }

private:
    const std::function<void(const std::string&)>& onLine_;
    std::string pending_;
};

int WaitForExit(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Asks the program to end, and makes it end if it has not within two seconds.
void StopChild(pid_t child)
{
    kill(child, SIGTERM);
    for (int i = 0; i < 20; ++i) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    kill(child, SIGKILL);
    WaitForExit(child);
}

} // namespace

std::string FindOnPath(const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos) {
        return {};
    }
    const char* path = std::getenv("PATH");
    const std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        const std::string candidate = folder + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

ChildProgramRun RunChildProgram(const std::vector<std::string>& command, const std::string& folder,
    const std::function<void(const std::string&)>& onLine, const std::function<bool()>& cancelled,
    const ChildFiles& files)
{
    ChildProgramRun run;
    if (command.empty()) {
        run.startError = "no program named";
        return run;
    }
    // Opened before the fork, so that a file that cannot be opened is told as such.
    const int input = open(files.input.empty() ? "/dev/null" : files.input.c_str(), O_RDONLY | O_CLOEXEC);
    const int written = files.output.empty()
        ? -1
        : open(files.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (input < 0 || (!files.output.empty() && written < 0)) {
        run.startError = std::strerror(errno);
        if (input >= 0) {
            close(input);
        }
        return run;
    }
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) {
        run.startError = std::strerror(errno);
        close(input);
        if (written >= 0) {
            close(written);
        }
        return run;
    }
    std::vector<char*> arguments;
    for (const std::string& word : command) {
        arguments.push_back(const_cast<char*>(word.c_str()));
    }
    arguments.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        run.startError = std::strerror(errno);
        close(output[0]);
        close(output[1]);
        close(input);
        if (written >= 0) {
            close(written);
        }
        return run;
    }
    if (child == 0) {
        // Only async-signal-safe calls between fork and exec.
        dup2(written >= 0 ? written : output[1], STDOUT_FILENO);
        dup2(output[1], STDERR_FILENO);
        dup2(input, STDIN_FILENO);
        if (!folder.empty() && chdir(folder.c_str()) != 0) {
            _exit(126);
        }
        execv(arguments[0], arguments.data());
        _exit(127);
    }
    close(output[1]);
    close(input);
    if (written >= 0) {
        close(written);
    }
    run.started = true;
    LineSplitter lines(onLine);
    char buffer[4096];
    for (;;) {
        if (cancelled && cancelled()) {
            run.cancelled = true;
            StopChild(child);
            close(output[0]);
            lines.Flush();
            return run;
        }
        pollfd ready{output[0], POLLIN, 0};
        const int polled = poll(&ready, 1, 100);
        if (polled < 0 && errno != EINTR) {
            break;
        }
        if (polled <= 0) {
            continue;
        }
        const ssize_t count = read(output[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        lines.Add(buffer, static_cast<std::size_t>(count));
    }
    close(output[0]);
    lines.Flush();
    run.exitCode = WaitForExit(child);
    return run;
}

} // namespace discforge
