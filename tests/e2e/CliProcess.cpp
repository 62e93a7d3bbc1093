#include "CliProcess.h"
#include "TestPaths.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace discforge::test {
namespace {

// An unnamed file the child writes into; it goes away when closed.
int AnonymousFile()
{
    std::string name = (std::filesystem::temp_directory_path() / "discforge-cli-output-XXXXXX").string();
    const int file = ::mkstemp(name.data());
    if (file >= 0) {
        ::unlink(name.c_str());
    }
    return file;
}

// The test's own environment, with the user's state folder (where the run log goes) and
// cache folder inside the test's folder.
std::vector<std::string> ChildEnvironment(const std::string& folder)
{
    std::vector<std::string> environment{
        "XDG_STATE_HOME=" + StateFolder(folder), "XDG_CACHE_HOME=" + folder + "/cache"};
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        if (entry.rfind("XDG_STATE_HOME=", 0) != 0 && entry.rfind("XDG_CACHE_HOME=", 0) != 0) {
            environment.push_back(entry);
        }
    }
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::string ReadAll(int file)
{
    std::string text;
    if (file < 0 || ::lseek(file, 0, SEEK_SET) != 0) {
        return text;
    }
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(file, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

} // namespace

std::string CliPath() { return std::string(DISCFORGE_BIN_DIR) + "/discforge-cli"; }

std::string StateFolder(const std::string& folder) { return folder + "/state"; }

bool DvdToolsInstalled()
{
    return std::system("command -v ffmpeg >/dev/null && command -v dvdauthor >/dev/null"
                       " && command -v spumux >/dev/null && command -v lsdvd >/dev/null")
        == 0;
}

CliProcess::CliProcess(const std::vector<std::string>& arguments, const std::string& folder)
    : outFile_(AnonymousFile())
    , errFile_(AnonymousFile())
{
    std::vector<std::string> commandLine{CliPath()};
    commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
    std::vector<std::string> environment = ChildEnvironment(folder);
    const std::vector<char*> argv = Pointers(commandLine);
    const std::vector<char*> envp = Pointers(environment);
    if (outFile_ < 0 || errFile_ < 0) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        const int input = ::open("/dev/null", O_RDONLY);
        if (::chdir(folder.c_str()) != 0 || input < 0 || ::dup2(input, 0) < 0 || ::dup2(outFile_, 1) < 0
            || ::dup2(errFile_, 2) < 0) {
            ::_exit(127);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
}

CliProcess::~CliProcess()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    for (const int file : {outFile_, errFile_}) {
        if (file >= 0) {
            ::close(file);
        }
    }
}

void CliProcess::Interrupt() const
{
    if (pid_ > 0) {
        ::kill(pid_, SIGINT);
    }
}

CliOutcome CliProcess::Wait()
{
    CliOutcome outcome;
    int status = 0;
    if (pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_) {
        pid_ = -1;
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    outcome.out = ReadAll(outFile_);
    outcome.err = ReadAll(errFile_);
    return outcome;
}

CliOutcome RunCli(const std::vector<std::string>& arguments, const std::string& folder)
{
    CliProcess process(arguments, folder);
    return process.Wait();
}

} // namespace discforge::test
