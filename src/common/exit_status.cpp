#include "common/exit_status.h"

int ExitStatusOf(ErrorKind kind, int signal)
{
    switch (kind) {
    case ErrorKind::Refused:
    case ErrorKind::Declined:
        return kExitRefused;
    case ErrorKind::Usage:
        return kExitUsage;
    case ErrorKind::Failed:
        return kExitFailed;
    case ErrorKind::MayHavePrinted:
        return kExitMayHavePrinted;
    case ErrorKind::OutputFailed:
        return kExitOutputFailed;
    case ErrorKind::Stopped:
        return kExitSignalBase + signal;
    }
    return kExitFailed;
}
