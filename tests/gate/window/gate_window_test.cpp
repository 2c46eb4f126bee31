// tessary-gate on an X server of the test's own, driven by real key events
// as a USB scanner and the doorkeeper give them: a pass read from a printed
// sheet is admitted in green, scanned again refused in red, and the
// admission undone with a reason, each recorded in the register.
#include "passes/pass_serial.h"
#include "register/pass_register.h"
#include "support/batch_tool.h"
#include "support/pdf_barcodes.h"
#include "support/private_x_server.h"
#include "support/register_tool.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// The colour that covers most of the upper part of the window: the answer's.
QRgb AnswerColour(const QImage& picture)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < picture.height() / 3; y += 2) {
        for (int x = 0; x < picture.width(); x += 2)
            ++counts[picture.pixel(x, y)];
    }
    QRgb most = 0;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        most = it.value() > counts.value(most) ? it.key() : most;
    return most;
}

class GateWindowKeys : public ::testing::Test {
protected:
    QTemporaryDir dir;
    PrivateXServer server;
    QProcess gate;
    QString window;

    void TearDown() override
    {
        if (gate.state() != QProcess::NotRunning) {
            gate.terminate();
            if (!gate.waitForFinished(5000))
                gate.kill();
            gate.waitForFinished(2000);
        }
    }

    // The window's title once it starts with prefix; what it is after a minute otherwise (a busy machine).
    QString TitleOnce(const QString& target, const QString& prefix)
    {
        QElapsedTimer waited;
        waited.start();
        QString title;
        do {
            title = server.Xdotool({"getwindowname", target});
            if (title.startsWith(prefix))
                break;
            QThread::msleep(50);
        } while (waited.elapsed() < 60000);
        return title;
    }

    // The window named so once it is there, or "".
    QString WindowNamed(const QString& pattern)
    {
        QElapsedTimer waited;
        waited.start();
        QString found;
        while (found.isEmpty() && waited.elapsed() < 60000) {
            found = server.Xdotool({"search", "--onlyvisible", "--name", pattern}).section('\n', 0, 0);
            QThread::msleep(50);
        }
        return found;
    }

    void Type(const QString& target, const QString& text)
    {
        int status = 0;
        server.Xdotool({"windowfocus", "--sync", target}, &status);
        ASSERT_EQ(status, 0);
        server.Xdotool({"type", "--delay", "15", text}, &status);
        ASSERT_EQ(status, 0);
        server.Xdotool({"key", "Return"}, &status);
        ASSERT_EQ(status, 0);
    }
};

TEST_F(GateWindowKeys, APrintedPassIsAdmittedOnceAndItsAdmissionUndone)
{
    const QString missing = PrivateXServer::MissingPrerequisite();
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    RegisterLocation location;
    location.file = dir.filePath("passes.sqlite");
    const QString label = dir.filePath("passes.lbl"), pdf = dir.filePath("passes.pdf");
    WriteLabelFile(label, 2, 2);
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const ToolRun printed = RunTessaryPrint({"--label", label, "--row", "03," + today + "T08:00:00,2", "--pdf", pdf, "-q"},
                                            RegisterEnvironment(location));
    ASSERT_EQ(printed.status, 0) << printed.err.toStdString();
    const QStringList onSheet = ScanPdfBarcodes(pdf, dir.path());
    ASSERT_EQ(onSheet.size(), 2);
    const QString pass = onSheet.front();

    // The gate chosen before, as the settings dialog keeps it.
    QDir().mkpath(dir.filePath("config/tessary-utility"));
    QFile settings(dir.filePath("config/tessary-utility/tessary-gate.conf"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[gate]\nname=North door\nlane=03\n");
    settings.close();
    ASSERT_TRUE(server.Start());
    QProcessEnvironment environment = RegisterEnvironment(location);
    environment.insert("DISPLAY", server.Display());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    gate.setProcessEnvironment(environment);
    gate.start(QStringLiteral(TESSARY_GATE_EXE), {});
    window = WindowNamed("Tessary gate North door, lane 03");
    if (window.isEmpty()) {
        gate.waitForFinished(100);
        FAIL() << "no window; tessary-gate " << (gate.state() == QProcess::Running ? "runs" : "ended") << ", said: "
               << gate.readAllStandardError().toStdString() << "; windows: "
               << server.Xdotool({"search", "--name", "."}).toStdString() << "; " << server.State().toStdString();
    }
    ASSERT_EQ(TitleOnce(window, "READY"), "READY - Tessary gate North door, lane 03");

    const QRgb admitGreen = qRgb(0x1b, 0x7d, 0x2f), refuseRed = qRgb(0xb3, 0x26, 0x1e);
    Type(window, pass);
    EXPECT_EQ(TitleOnce(window, "ADMIT "), "ADMIT - Tessary gate North door, lane 03");
    const QImage admitted = server.Grab(window);
    ASSERT_FALSE(admitted.isNull());
    EXPECT_EQ(AnswerColour(admitted), admitGreen);

    Type(window, pass);
    EXPECT_EQ(TitleOnce(window, "ALREADY"), "ALREADY ADMITTED - Tessary gate North door, lane 03");
    const QImage refused = server.Grab(window);
    EXPECT_EQ(AnswerColour(refused), refuseRed);
    const QString picture = qEnvironmentVariable("TESSARY_GATE_SCREENSHOT");
    if (!picture.isEmpty())
        refused.save(picture);

    int status = 0;
    server.Xdotool({"windowfocus", "--sync", window}, &status);
    server.Xdotool({"key", "ctrl+z"}, &status);
    ASSERT_EQ(status, 0);
    const QString question = WindowNamed("Undo last admission");
    ASSERT_FALSE(question.isEmpty());
    Type(question, "scanned twice by mistake");
    EXPECT_EQ(TitleOnce(window, "ADMISSION UNDONE"), "ADMISSION UNDONE - Tessary gate North door, lane 03");

    PassRegister passRegister(location, RegisterAccess::ReadOnly);
    const std::vector<Admission> admissions = passRegister.Admissions(pass);
    ASSERT_EQ(admissions.size(), 1u);
    EXPECT_EQ(admissions.front().gate, "North door");
    EXPECT_EQ(admissions.front().undone.reason, "scanned twice by mistake");
    EXPECT_TRUE(passRegister.Admissions(onSheet.back()).empty());
}

}  // namespace
