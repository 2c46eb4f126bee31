// A tessary-print job through a driverless queue: ippeveprinter stands in for
// an IPP Everywhere printer, added to a scheduler of the test's own with
// "-m everywhere" and A4 as its default paper. The job must arrive as Letter:
// a media name the printer does not know would leave it on the queue's A4.
#include "support/batch_tool.h"
#include "passes/pass_serial.h"
#include "passes/valid_on_stamp.h"
#include "support/pdf_barcodes.h"
#include "support/shared_scheduler.h"
#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string Text(const QString& text) { return text.toStdString(); }

QString FileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A port nobody listens on now: the one the system gives a socket bound to port 0.
quint16 FreePort()
{
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    quint16 port = 0;
    if (probe >= 0 && ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0
        && ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (probe >= 0)
        ::close(probe);
    return port;
}

// Stops a helper process this test started, by its own handle.
struct StoppedOnExit {
    QProcess& process;
    ~StoppedOnExit()
    {
        process.terminate();
        if (!process.waitForFinished(10000))
            process.kill();
        process.waitForFinished(5000);
    }
};

TEST(TessaryPrintIppEverywhere, AJobOnADriverlessQueueArrivesAsLetter)
{
    const QString missing = PrivateCupsScheduler::MissingPrerequisite();
    if (!missing.isEmpty())
        GTEST_SKIP() << "no private CUPS scheduler on this machine: " << Text(missing);
    for (const char* tool : {"ippeveprinter", "ipptool", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is missing (packages cups-ipp-utils, dbus)";
    }
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    ASSERT_TRUE(QDir(work.path()).mkpath("spool"));

    // ippeveprinter wants a D-Bus system bus for its DNS-SD client; a bus of
    // the test's own keeps it off the machine's.
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1",
                              "--address=unix:path=" + work.filePath("bus")});
    StoppedOnExit busStopped{bus};
    ASSERT_TRUE(bus.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&bus] { return bus.canReadLine(); }, 20000));

    // The printer's print command keeps each document and the job's
    // attributes (IPP_* variables); the attributes' file appears last.
    const QString script = work.filePath("keep-job.sh");
    QFile scriptFile(script);
    ASSERT_TRUE(scriptFile.open(QIODevice::WriteOnly));
    scriptFile.write(QStringLiteral("#!/bin/sh\ncp \"$1\" '%1/job.pdf'\nenv | grep '^IPP_' > '%1/job.part' && mv '%1/job.part' '%1/job.env'\n")
                         .arg(work.path())
                         .toUtf8());
    scriptFile.close();
    ASSERT_TRUE(QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    const quint16 port = FreePort();
    ASSERT_NE(port, 0);
    const QString uri = QStringLiteral("ipp://localhost:%1/ipp/print").arg(port);
    QProcess printer;
    QProcessEnvironment printerEnvironment = QProcessEnvironment::systemEnvironment();
    printerEnvironment.insert("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + work.filePath("bus"));
    printer.setProcessEnvironment(printerEnvironment);
    printer.start("ippeveprinter", {"-p", QString::number(port), "-n", "localhost", "-r", "off", "-c", script, "-d",
                                    work.filePath("spool"), "-f", "application/pdf", "Tessary Eve"});
    StoppedOnExit printerStopped{printer};
    ASSERT_TRUE(printer.waitForStarted());
    const auto answers = [&uri] {
        int code = -1;
        RunTool("ipptool", {"-T", "2", uri, "get-printer-attributes.test"}, &code);
        return code == 0;
    };
    ASSERT_TRUE(QTest::qWaitFor(answers, 30000)) << printer.readAllStandardError().toStdString();

    SKIP_OR_ASSERT_SHARED_SCHEDULER();
    PrivateCupsScheduler& scheduler = SharedScheduler::Get();
    int code = -1;
    const QString added = scheduler.Run("lpadmin", {"-p", "Eve", "-E", "-v", uri, "-m", "everywhere"}, &code);
    ASSERT_EQ(code, 0) << Text(added);
    scheduler.Run("lpadmin", {"-p", "Eve", "-o", "PageSize=A4"}, &code);
    ASSERT_EQ(code, 0);

    QTemporaryDir inputs;
    WriteLabelFile(inputs.filePath("2x2.lbl"), 2, 2);
    const ToolRun run = RunTessaryPrint({"--label", inputs.filePath("2x2.lbl"), "--row", "03,2026-03-04T08:00:00,4",
                                         "-d", "Eve", "--quiet"},
                                        scheduler.Env());
    ASSERT_EQ(run.status, 0) << Text(run.err);

    ASSERT_TRUE(QTest::qWaitFor([&work] { return QFile::exists(work.filePath("job.env")); }, 120000))
        << Text(scheduler.Run("lpstat", {"-l", "-o"}));
    const QString attributes = FileText(work.filePath("job.env"));
    EXPECT_TRUE(attributes.contains("IPP_MEDIA_COL={media-size={x-dimension=21590 y-dimension=27940}"))
        << Text(attributes);
    const QString info = RunTool("pdfinfo", {work.filePath("job.pdf")});
    EXPECT_TRUE(info.contains("Page size:       612 x 792 pts (letter)")) << Text(info);
    // What the printer got reads, to a scanner that shares nothing with the program, as the row's passes.
    const CalendarInstant instant = DecodeValidOnStamp(EncodeValidOnStamp(QDate(2026, 3, 4), QTime(8, 0)));
    QStringList expected;
    for (int pass = 0; pass < 4; ++pass)
        expected << BarcodeText(PassNumberText(instant, pass), "03");
    QStringList read = ZbarPdfBarcodes(work.filePath("job.pdf"), work.path());
    read.sort();
    EXPECT_EQ(read, expected);
}

}  // namespace
