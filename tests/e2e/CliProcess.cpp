#include "CliProcess.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

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

CliProcess::CliProcess(const std::vector<std::string>& arguments, const std::string& folder)
    : outFile_(AnonymousFile())
    , errFile_(AnonymousFile())
{
    const std::string program = CliPath();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    if (outFile_ < 0 || errFile_ < 0) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        const int input = ::open("/dev/null", O_RDONLY);
        if (::chdir(folder.c_str()) != 0 || input < 0 || ::dup2(input, 0) < 0 || ::dup2(outFile_, 1) < 0 ||
            ::dup2(errFile_, 2) < 0) {
            ::_exit(127);
        }
        ::execv(program.c_str(), argv.data());
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
