#pragma once

#include <QString>
#include <stdexcept>

// What an error means for whoever ran the program: the window shows every one
// in its error box; the command-line tools end with the status ExitStatusOf
// gives it.
enum class ErrorKind {
    Failed,          // the printer, the file system or the register failed; nothing was handed on
    Refused,         // invalid values, refused rows, nothing to print, nothing found
    Usage,           // the command line (or a setting) cannot be followed
    MayHavePrinted,  // the sheets went out, or may have; the passes stay pending, the text names the run
    Stopped,         // a stop signal ended the run before anything was handed on
    Declined,        // a question was answered no: nothing was handed on
    OutputFailed,    // a tool's own standard output or file could not be written whole
};

// The one error type of the program. Its text is shown as it stands by the
// application's error box, so it must be exactly the text the operator sees.
class TessaryError : public std::runtime_error {
public:
    explicit TessaryError(const QString& text, ErrorKind kind = ErrorKind::Failed, int signal = 0)
        : std::runtime_error(text.toStdString()), kind_(kind), signal_(signal)
    {
    }
    QString text() const { return QString::fromStdString(what()); }
    ErrorKind kind() const { return kind_; }
    int signal() const { return signal_; }  // Stopped: the signal that stopped it

private:
    ErrorKind kind_;
    int signal_;
};

// The sheets went out, or may have: a queue that stopped answering once the
// job was released, a held job that could not be cancelled, standard output
// that took part of the PDF, or a register that could not record what was
// handed on. The operator must not be told that nothing printed; a register
// keeps the run's passes pending, and the text names the run.
inline TessaryError MayHavePrinted(const QString& text) { return TessaryError(text, ErrorKind::MayHavePrinted); }
