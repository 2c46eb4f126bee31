#pragma once

#include <QCompleter>
#include <QString>

class QLineEdit;
class QStringListModel;

// Completes an output file name from the folder typed so far, offering only
// its folders and regular files. It lists the folder and asks each entry's
// type of the file system, and never opens an entry: Qt's own file-name
// completer asks every file's content type, which reads the file and so
// waits for ever on a FIFO or a device (/proc/kmsg). The kernel's and the
// devices' folders (/proc, /sys, /dev) are not offered or listed at all.
class OutputFileCompleter : public QCompleter {
    Q_OBJECT

public:
    explicit OutputFileCompleter(QLineEdit& edit);

    // Puts a completer of this kind on the box in place of the one it has.
    static void Replace(QLineEdit& edit);

private:
    void ListFolderOf(const QString& typed);

    QStringListModel* entries_;
    QString listedFolder_;
};
