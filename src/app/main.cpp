#include "app/tessary_application.h"
#include "app/tfrm_main.h"
#include "common/heap_retention.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace {

void DescribeArguments(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Lays out and prints sheets of lane passes with barcodes."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A label file to load, as Load does."),
                                 QStringLiteral("[FILE]"));
}

// --help and --version need no display: they are answered before the window's
// application, which does, is made.
bool AsksOnlyForText(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    KeepFreedHeapForReuse();
    if (AsksOnlyForText(argc, argv)) {
        QCoreApplication text(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("tessary-utility"));
        QCoreApplication::setApplicationVersion(QStringLiteral(TESSARY_VERSION));
        QCommandLineParser parser;
        DescribeArguments(parser);
        parser.process(text);  // prints and exits
        return 0;
    }
    TessaryApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARY_VERSION));
    // Qt's own options (-platform and the like) are gone from the arguments by now.
    QCommandLineParser parser;
    DescribeArguments(parser);
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
