#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

// A list as one line, for a test's messages.
inline std::string Joined(const QStringList& list) { return list.join(QLatin1Char(' ')).toStdString(); }

// Writes bytes as the whole of the file at path, with mode; a test failure
// when it cannot.
void WriteFile(const QString& path, const QByteArray& bytes, unsigned mode = 0644);

// Adds a line naming the server and this program to the file that
// TESSARY_SERVER_TALLY names, if any: how a suite run counts its servers.
void NoteServerStarted(const QString& kind);

// Runs a checking tool (pdftoppm, zbarimg, pdfimages, ...) and gives its standard output.
inline QString RunTool(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The first 16 hex digits of the SHA-256 of a PDF's bytes without its
// creation date, the one thing that differs from run to run (with
// QT_HASH_SEED=0, as the tests run); "" when the file cannot be read.
QString GoldenPdfHash(const QString& pdfPath);

// Whether the process holds a file open that has no name yet in folder (an
// unnamed file being written there): the sign that a run has begun its document.
bool HoldsUnnamedFileIn(qint64 pid, const QString& folder);
