#include "register/process_alive.h"

#include <cerrno>
#include <csignal>
#include <sys/types.h>

bool ProcessAlive(qint64 pid)
{
    if (pid <= 0 || pid != qint64(pid_t(pid)))
        return false;
    // Signal 0 checks that the process exists without sending anything.
    return kill(pid_t(pid), 0) == 0 || errno == EPERM;
}
