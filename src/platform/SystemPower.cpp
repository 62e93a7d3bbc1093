#include "platform/SystemPower.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace discforge {

bool SystemPower::PowerOff()
{
    char program[] = "systemctl";
    char verb[] = "poweroff";
    char* arguments[] = {program, verb, nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program, nullptr, nullptr, arguments, environ) != 0) {
        return false;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace discforge
