#include "labelfile/label_file_name.h"

namespace {

QString AsciiUpper(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return upper;
}

} // namespace

QString WithLabelExtension(const QString& chosenPath)
{
    const qsizetype dot = chosenPath.lastIndexOf(u'.');
    if (dot >= 0) {
        const QString extension = chosenPath.sliced(dot);
        const bool inFolderName = extension.contains(u'\\') || extension.contains(u':') || extension.contains(u'/');
        if (!inFolderName && AsciiUpper(extension) == QStringLiteral(".LBL"))
            return chosenPath;
    }
    return chosenPath + QStringLiteral(".lbl");
}
