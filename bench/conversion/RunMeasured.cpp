// Runs one command and measures it: elapsed time, processor time (user and
// system, all threads), peak resident memory, and with --threads how busy each
// of its threads was, read from /proc/PID/task/*/stat while it runs.
//
//   discforge-bench-run [--threads] REPORT -- COMMAND [ARGUMENT...]
//
// REPORT gets "wall cpu peakKiB" on its first line; with --threads one more line
// per thread name: "thread NAME COUNT CPU", the processor seconds of the threads
// of that name. Reading /proc costs a little processor time, so timed runs go
// without --threads. The command's output goes to /dev/null; its exit status is ours.
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct ThreadSeen {
    std::string name;
    long long ticks = 0; // user + system, in clock ticks
};

// Name and processor ticks of one thread from its stat line; false when it is gone.
bool ReadThread(const std::string& path, ThreadSeen& seen)
{
    std::ifstream file(path);
    std::string line;
    if (!std::getline(file, line)) {
        return false;
    }
    // The name stands in parentheses and may hold spaces; the fields follow the last ')'.
    const std::size_t open = line.find('(');
    const std::size_t close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) {
        return false;
    }
    seen.name = line.substr(open + 1, close - open - 1);
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    long long utime = 0;
    long long stime = 0;
    // Fields 3 .. 15 of stat; utime and stime are the 14th and 15th.
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14) {
            utime = std::stoll(field);
        } else if (number == 15) {
            stime = std::stoll(field);
        }
    }
    seen.ticks = utime + stime;
    return true;
}

void SampleThreads(pid_t pid, std::map<int, ThreadSeen>& threads)
{
    const std::string folder = "/proc/" + std::to_string(pid) + "/task";
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(directory)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        ThreadSeen seen;
        if (ReadThread(folder + "/" + entry->d_name + "/stat", seen)) {
            threads[std::atoi(entry->d_name)] = seen;
        }
    }
    closedir(directory);
}

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6; }

} // namespace

int main(int argc, char** argv)
{
    int first = 1;
    const bool watchThreads = argc > first && std::strcmp(argv[first], "--threads") == 0;
    if (watchThreads) {
        ++first;
    }
    if (argc < first + 3 || std::strcmp(argv[first + 1], "--") != 0) {
        std::fprintf(stderr, "usage: %s [--threads] REPORT -- COMMAND [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    const std::string reportPath = argv[first];
    char** command = argv + first + 2;

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
        }
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }
    std::map<int, ThreadSeen> threads;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t ended = wait4(child, &status, watchThreads ? WNOHANG : 0, &usage);
        if (ended == child) {
            break;
        }
        if (ended < 0) {
            std::perror("wait4");
            return 2;
        }
        SampleThreads(child, threads);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::ofstream report(reportPath);
    report << wall << ' ' << Seconds(usage.ru_utime) + Seconds(usage.ru_stime) << ' ' << usage.ru_maxrss << '\n';
    if (watchThreads) {
        const double tick = 1.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
        std::map<std::string, std::pair<int, double>> byName;
        for (const auto& [tid, seen] : threads) {
            auto& [count, seconds] = byName[seen.name];
            ++count;
            seconds += static_cast<double>(seen.ticks) * tick;
        }
        for (const auto& [name, counted] : byName) {
            report << "thread " << name << ' ' << counted.first << ' ' << counted.second << '\n';
        }
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}
