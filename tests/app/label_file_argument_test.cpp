// A label file named on the command line loads into the window as Load loads
// it; one that is missing or is not a label file is said in the error box, where
// Load takes it as all defaults, and the layout stays as it was.
#include "support/main_window_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

enum class Named { LabelFile, Utf16LabelFile, Missing, Fifo, TextFile };

struct ArgumentCase {
    const char* what;
    Named named;
    const char* loadCols;      // Across after Load; the window held 6
    const char* argumentCols;  // after the file is named on the command line
    const char* argumentError;  // the error box after the argument ("%1": the path); "" none
};

const ArgumentCase kArgumentCases[] = {
    {"a label file", Named::LabelFile, "3", "3", ""},
    {"a UTF-16 label file", Named::Utf16LabelFile, "5", "5", ""},
    {"no file there", Named::Missing, "4", "6", "Cannot open file %1: No such file or directory."},
    // Load refuses a FIFO as well, with the same words.
    {"a FIFO", Named::Fifo, "6", "6", ""},
    {"a text file", Named::TextFile, "4", "6", "%1 is not a label file."},
};

TEST_F(MainWindowTest, ALabelFileArgumentLoadsOrSaysWhyNot)
{
    QTemporaryDir dir;
    for (const ArgumentCase& c : kArgumentCases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("day%1.lbl").arg(&c - kArgumentCases));
        QFile file(path);
        if (c.named == Named::Fifo) {
            ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (c.named != Named::Missing) {
            QByteArray bytes = c.named == Named::TextFile ? QByteArray("Lane,Date,Quantity\n03,2026-03-04,4\n")
                                                          : QByteArray("[Barcode]\r\nCols=3\r\nRows=7\r\n");
            if (c.named == Named::Utf16LabelFile) {
                const QString text = QStringLiteral("[Barcode]\r\nCols=5\r\nRows=7\r\n");
                bytes = QByteArray("\xff\xfe") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
            }
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) > 0 && file.flush());
        }
        QStringList errors;  // the error box's text after Load, then after the argument
        for (const bool byLoadButton : {true, false}) {
            SetText("ebxCols", QStringLiteral("6"));
            const QString lastBefore = window->LastLabelFile();
            ModalScript script;
            if (byLoadButton)
                script.Expect("OpenDialog1", ChooseFile(path));
            errors << QString();
            const bool refused = c.named == Named::Fifo || (!byLoadButton && *c.argumentError);
            if (refused)
                script.Expect("errorBox", AcceptMessage(&errors.back()));
            byLoadButton ? Click("btnLoad") : window->OpenLabelFile(path);
            EXPECT_EQ(script.Pending(), 0) << byLoadButton;
            EXPECT_TRUE(script.Unexpected().isEmpty()) << script.Unexpected().join(' ').toStdString();
            EXPECT_EQ(Find<QLineEdit>("ebxCols")->text(), QString::fromUtf8(byLoadButton ? c.loadCols : c.argumentCols))
                << byLoadButton;
            // Save proposes the file opened, and not one that was refused.
            EXPECT_EQ(window->LastLabelFile(), refused ? lastBefore : path) << byLoadButton;
        }
        if (c.named == Named::Fifo)
            EXPECT_EQ(errors[1], errors[0]);
        else
            EXPECT_EQ(errors[1], QString::fromUtf8(c.argumentError).replace("%1", path));
    }
}

}  // namespace
