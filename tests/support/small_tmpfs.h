#pragma once

#include <QString>
#include <QTemporaryDir>

// A small file system of the test's own: a tmpfs of the given size mounted on a
// new temporary folder, unmounted and removed when the object goes. Mounting
// needs root; Error() says why it could not be mounted.
class SmallTmpfs {
public:
    explicit SmallTmpfs(qint64 sizeBytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    QString Error() const { return error_; }
    QString Path() const { return folder_.path(); }
    QString FilePath(const QString& name) const { return folder_.filePath(name); }

    // Takes up every free byte with a file of its own ("filler"), and gives
    // the space back.
    bool Fill();
    void Unfill();

private:
    QTemporaryDir folder_;
    QString error_;
    bool mounted_ = false;
};
