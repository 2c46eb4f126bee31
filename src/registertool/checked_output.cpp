#include "registertool/checked_output.h"

#include "registertool/terminal_text.h"

#include "common/replacement_file.h"
#include "common/tessary_error.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

// The descriptor as a QIODevice, keeping the errno of the first failure.
class CheckedOutput::Device : public QIODevice {
public:
    explicit Device(int descriptor) : descriptor_(descriptor)
    {
        // A descriptor not open (a script's >&-) is neither written nor
        // closed: the number may go to a descriptor of Qt's own meanwhile.
        if (::fcntl(descriptor_, F_GETFD) < 0) {
            error_ = errno;
            descriptor_ = -1;
        }
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return true; }
    int Error() const { return error_; }

    // Once only: a second close(2) could close a descriptor opened since.
    void CloseDescriptor()
    {
        if (descriptor_ < 0)
            return;
        // Linux frees the descriptor even when close fails, EINTR included:
        // what failed is told, and it is not closed again.
        if (::close(descriptor_) != 0 && error_ == 0)
            error_ = errno;
        descriptor_ = -1;
        close();
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 size) override
    {
        if (error_ != 0 || descriptor_ < 0)
            return -1;
        qint64 written = 0;
        while (written < size) {
            const ssize_t n = ::write(descriptor_, data + written, size_t(size - written));
            if (n > 0) {
                written += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                // A descriptor made non-blocking by whoever shares it: wait
                // for room rather than take a full pipe for a failure.
                pollfd ready{descriptor_, POLLOUT, 0};
                if (::poll(&ready, 1, -1) < 0 && errno != EINTR) {
                    error_ = errno;
                    return -1;
                }
            } else {
                error_ = n < 0 ? errno : EIO;
                return -1;
            }
        }
        return written;
    }

private:
    int descriptor_;
    int error_ = 0;
};

CheckedOutput::CheckedOutput(int descriptor, const QString& name)
    : device_(std::make_unique<Device>(descriptor)), stream_(device_.get()), name_(name)
{
}

// Finish was not reached only when an exception already ends the program,
// with a failure of its own to tell.
CheckedOutput::~CheckedOutput() { device_->CloseDescriptor(); }

QString CheckedOutput::Finish()
{
    stream_.flush();
    device_->CloseDescriptor();
    if (device_->Error() != 0)
        return QStringLiteral("cannot write %1: %2").arg(name_, qt_error_string(device_->Error()));
    // The device keeps the errno of every failure; this is a stream that failed without one.
    if (stream_.status() != QTextStream::Ok)
        return QStringLiteral("cannot write %1: the text could not be handed on whole").arg(name_);
    return QString();
}

namespace {

QString CannotWrite(const QString& path, const QString& reason)
{
    return QStringLiteral("cannot write %1: %2").arg(TerminalText(path), reason);
}

// A new file that takes the old one's place whole, made as the programs' own
// outputs are: another user's link is not followed nor their file replaced.
QString WriteByRename(const QString& path, const QByteArray& bytes)
{
    try {
        ReplacementFile file(path);
        // A write cut short tells why only on the next one.
        for (qint64 written = 0; written < bytes.size();) {
            const ssize_t n = ::write(file.handle(), bytes.constData() + written, size_t(bytes.size() - written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return CannotWrite(path, qt_error_string(n < 0 ? errno : ENOSPC));  // the old file stays
            written += n;
        }
        if (!file.SyncToDisk())
            return CannotWrite(path, qt_error_string(errno));
        file.CommitOver();
    } catch (const TessaryError& error) {
        // "Unable to write to PATH[: why]": the why, else the file system's say.
        const QString prefix = QStringLiteral("Unable to write to ") + path;
        const QString why = error.text().startsWith(prefix + QStringLiteral(": ")) ? error.text().mid(prefix.size() + 2)
                                                                                  : QStringLiteral("it cannot be replaced");
        return CannotWrite(path, why);
    }
    return QString();
}

// A link of another user on the way to a device or pipe is theirs to point
// anywhere: "" when every link of the chain is this user's or root's.
QString LinkOfAnotherUser(const QString& path)
{
    QString at = QFileInfo(path).absoluteFilePath();
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status {};
        if (::lstat(QFile::encodeName(at).constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return QString();
        if (status.st_uid != ::geteuid() && status.st_uid != 0)
            return QStringLiteral("it is a link of another user");
        const QString target = QFile::symLinkTarget(at);
        if (target.isEmpty())
            return QString();
        at = target;
    }
    return QString();
}

}  // namespace

QString WriteOutputFile(const QString& path, const QString& text)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return WriteByRename(path, text.toUtf8());
    const QString link = LinkOfAnotherUser(path);
    if (!link.isEmpty())
        return CannotWrite(path, link);
    // No O_CREAT: should the device or pipe go meanwhile, no file takes its place.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return QStringLiteral("cannot write %1: %2").arg(TerminalText(path), qt_error_string(errno));
    CheckedOutput output(descriptor, TerminalText(path));
    output.Stream() << text;
    return output.Finish();
}
