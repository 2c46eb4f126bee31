#include "app/tessary_application.h"
#include "app/tfrm_main.h"
#include "common/heap_retention.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[])
{
    KeepFreedHeapForReuse();
    TessaryApplication app(argc, argv);
    // Qt's own options (-platform and the like) are gone from the arguments by now.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Lays out and prints sheets of lane passes with barcodes."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A label file to load, as Load does."),
                                 QStringLiteral("[FILE]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("tessary-utility: give at most one label file\n", stderr);
        return 2;
    }
    TfrmMain frmMain;
    frmMain.show();
    // The path as the Load dialog gives it, so that Save proposes the same file.
    if (!files.isEmpty())
        frmMain.OpenLabelFile(QFileInfo(files.constFirst()).absoluteFilePath());
    return app.exec();
}
