// A label file named on the command line loads into the window as Load loads it, error box included.
#include "app/main_window_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

struct ArgumentCase {
    const char* bytes;  // "": no file there (the defaults); nullptr: a FIFO, refused in the error box
    const char* cols;   // Across afterwards; the window held 6
} const kArgumentCases[] = {{"[Barcode]\r\nCols=3\r\nRows=7\r\n", "3"}, {"", "4"}, {nullptr, "6"}};

TEST_F(MainWindowTest, ALabelFileArgumentLoadsAsTheLoadButtonDoes)
{
    QTemporaryDir dir;
    for (const ArgumentCase& c : kArgumentCases) {
        const QString path = dir.filePath(QStringLiteral("day%1.lbl").arg(&c - kArgumentCases));
        SCOPED_TRACE(path.toStdString());
        QFile file(path);
        if (!c.bytes) {
            ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (*c.bytes) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.bytes) > 0 && file.flush());
        }
        QStringList errors;  // the error box's text after Load, then after the argument
        for (const bool byLoadButton : {true, false}) {
            SetText("ebxCols", QStringLiteral("6"));
            ModalScript script;
            if (byLoadButton)
                script.Expect("OpenDialog1", ChooseFile(path));
            errors << QString();
            if (!c.bytes)
                script.Expect("errorBox", AcceptMessage(&errors.back()));
            byLoadButton ? Click("btnLoad") : window->OpenLabelFile(path);
            EXPECT_EQ(script.Pending(), 0) << byLoadButton;
            EXPECT_TRUE(script.Unexpected().isEmpty()) << script.Unexpected().join(' ').toStdString();
            EXPECT_EQ(Find<QLineEdit>("ebxCols")->text(), QString::fromUtf8(c.cols)) << byLoadButton;
        }
        EXPECT_EQ(errors[1], errors[0]);
        EXPECT_EQ(window->LastLabelFile(), path) << "Save proposes the file opened";
    }
}

}  // namespace
