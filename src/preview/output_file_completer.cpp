#include "preview/output_file_completer.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QStringListModel>

namespace {

// Folders whose entries are the kernel's and devices' files, which can block
// or have side effects when read.
bool InSpecialFolder(const QString& canonicalPath)
{
    for (const QLatin1String root : {QLatin1String("/proc"), QLatin1String("/sys"), QLatin1String("/dev")}) {
        if (canonicalPath == root || canonicalPath.startsWith(root + QLatin1Char('/')))
            return true;
    }
    return false;
}

}  // namespace

OutputFileCompleter::OutputFileCompleter(QLineEdit& edit)
    : QCompleter(&edit), entries_(new QStringListModel(this))
{
    setModel(entries_);
    setCaseSensitivity(Qt::CaseSensitive);
    // textEdited comes before the box asks its completer for the matches.
    connect(&edit, &QLineEdit::textEdited, this, &OutputFileCompleter::ListFolderOf);
}

void OutputFileCompleter::Replace(QLineEdit& edit)
{
    // Qt's completer watches the home folder through a model of its own,
    // which the box owns; the box deletes the completer it owns as it is replaced.
    QAbstractItemModel* oldModel = edit.completer() ? edit.completer()->model() : nullptr;
    edit.setCompleter(new OutputFileCompleter(edit));
    if (oldModel && oldModel->parent() == &edit)
        delete oldModel;
}

void OutputFileCompleter::ListFolderOf(const QString& typed)
{
    const QString folder = typed.left(typed.lastIndexOf(QLatin1Char('/')) + 1);
    if (folder == listedFolder_)
        return;
    listedFolder_ = folder;
    QStringList paths;
    // The canonical path follows symbolic links without opening anything.
    const QString canonical = folder.isEmpty() ? QString() : QFileInfo(folder).canonicalFilePath();
    if (!canonical.isEmpty() && !InSpecialFolder(canonical)) {
        // Without QDir::System no FIFO, socket or device is listed.
        const QFileInfoList entries =
            QDir(folder).entryInfoList(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries) {
            if (entry.isDir() && !InSpecialFolder(entry.canonicalFilePath()))
                paths << folder + entry.fileName() + QLatin1Char('/');
            else if (entry.isFile())
                paths << folder + entry.fileName();
        }
    }
    entries_->setStringList(paths);
}
