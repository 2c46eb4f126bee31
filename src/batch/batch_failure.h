#pragma once

#include <QString>
#include <stdexcept>

// What tessary-print's exit status tells a script.
enum BatchExitStatus {
    kExitPrinted = 0,
    kExitRefused = 1,        // invalid values, refused rows, nothing to print
    kExitUsage = 2,          // the command line cannot be followed
    kExitPrintingFailed = 3,  // the printer or the file system failed; nothing was handed on
    kExitNotRecorded = 4,     // printed, or may have, but the passes stay pending (the message names the run)
    kExitSignalBase = 128     // + N: stopped by signal N before anything was handed on
};

// Ends a batch run with an exit status and the message for standard error.
class BatchFailure : public std::runtime_error {
public:
    BatchFailure(int status, const QString& message)
        : std::runtime_error(message.toStdString()), status_(status), message_(message)
    {
    }
    int status() const { return status_; }
    QString message() const { return message_; }

private:
    int status_;
    QString message_;
};
