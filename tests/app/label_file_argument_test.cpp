// A label file named on the command line (or opened from a file manager)
// loads into the shown window as Load loads it, error box included.
#include "app/main_window_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

struct ArgumentCase {
    const char* what;
    const char* bytes;  // "": no file there; nullptr: a FIFO
    const char* cols;   // Across afterwards; the window held 6
};

const ArgumentCase kArgumentCases[] = {
    {"a file as the program writes it", "[Barcode]\r\nCols=3\r\nRows=7\r\n", "3"},
    {"no such file: the defaults", "", "4"},
    {"a FIFO: the error box, the layout kept", nullptr, "6"},
};

TEST_F(MainWindowTest, ALabelFileArgumentLoadsAsTheLoadButtonDoes)
{
    QTemporaryDir dir;
    for (const ArgumentCase& c : kArgumentCases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("day%1.lbl").arg(&c - kArgumentCases));
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
