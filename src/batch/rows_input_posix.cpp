// Reading a rows file with POSIX calls: the one batch file that knows them.
#include "batch/rows_input.h"

#include "common/exit_status.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RowsInput::RowsInput(const QString& path) : standardInput_(path == QLatin1String("-"))
{
    // A FIFO blocks here until a writer opens it; a stop signal ends the tool meanwhile.
    fd_ = standardInput_ ? STDIN_FILENO : ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw TessaryError(QStringLiteral("Cannot open file %1").arg(path), ErrorKind::Usage);
}

RowsInput::~RowsInput()
{
    if (!standardInput_)
        ::close(fd_);
}

bool RowsInput::IsFileOrPipe() const
{
    struct stat info {};
    if (fstat(fd_, &info) != 0)
        return false;
    return S_ISREG(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)
           || (S_ISCHR(info.st_mode) && isatty(fd_));
}

qsizetype RowsInput::Read(char* buffer, qsizetype size, const QString& name)
{
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, size_t(size));
        if (got >= 0)
            return got;
        if (errno != EINTR)
            throw TessaryError(QStringLiteral("Cannot read file %1").arg(name), ErrorKind::Usage);
    }
}
