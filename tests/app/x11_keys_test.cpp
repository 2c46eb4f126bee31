// Real key events on a real X server: Xvfb of the test's own, the window run
// by the probe program, keys typed with xdotool. Dead keys and the compose key
// go through Qt's compose input method there, as on an operator's desktop.
#include "support/tools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// An Xvfb of this test's own on a display number nobody uses; stopped by its
// process id when the test ends.
class PrivateXServer {
public:
    bool Start()
    {
        for (int number = 147; number < 260; ++number) {
            if (QFile::exists(SocketPath(number)) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
                continue;
            server_.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(number), "-screen", "0", "1024x768x24",
                                                   "-nolisten", "tcp"});
            if (!server_.waitForStarted(5000))
                return false;
            QElapsedTimer waited;
            waited.start();
            while (server_.state() == QProcess::Running && waited.elapsed() < 10000) {
                if (QFile::exists(SocketPath(number))) {
                    display_ = QStringLiteral(":%1").arg(number);
                    return true;
                }
                QThread::msleep(20);
            }
            Stop(); // another server took the number first: try the next one
        }
        return false;
    }
    void Stop()
    {
        if (server_.state() == QProcess::NotRunning)
            return;
        server_.terminate(); // SIGTERM to the server's own process id
        if (!server_.waitForFinished(5000)) {
            server_.kill();
            server_.waitForFinished(2000);
        }
    }
    ~PrivateXServer() { Stop(); }
    const QString& Display() const { return display_; }

private:
    static QString SocketPath(int number) { return QStringLiteral("/tmp/.X11-unix/X%1").arg(number); }
    QProcess server_;
    QString display_;
};

// The window, on that server, answering the test's questions a line each.
class WindowProbe {
public:
    bool Start(const QString& display, const QString& folder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.remove("QT_IM_MODULE"); // Qt's own compose input method
        probe_.setProcessEnvironment(environment);
        probe_.setWorkingDirectory(folder);
        probe_.setProcessChannelMode(QProcess::SeparateChannels);
        probe_.start(QStringLiteral(TESSARY_WINDOW_PROBE), {});
        return probe_.waitForStarted(5000) && ReadLine().startsWith("ready");
    }
    ~WindowProbe()
    {
        if (probe_.state() == QProcess::NotRunning)
            return;
        probe_.write("quit\n");
        if (!probe_.waitForFinished(5000)) {
            probe_.kill();
            probe_.waitForFinished(2000);
        }
    }
    QString Ask(const QByteArray& command)
    {
        probe_.write(command + '\n');
        return ReadLine();
    }
    // The next answer line, or "" after ten seconds without one.
    QString ReadLine()
    {
        QElapsedTimer waited;
        waited.start();
        while (!probe_.canReadLine() && waited.elapsed() < 10000) {
            if (!probe_.waitForReadyRead(200) && probe_.state() == QProcess::NotRunning)
                break;
        }
        if (!probe_.canReadLine())
            return QString();
        QString line = QString::fromUtf8(probe_.readLine());
        line.chop(line.endsWith(QLatin1Char('\n')) ? 1 : 0);
        return line;
    }

private:
    QProcess probe_;
};

int Xdotool(const QString& display, const QStringList& arguments)
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    tool.setProcessEnvironment(environment);
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(20000);
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

// Asks again until the answer is the one hoped for: activation is asynchronous.
QString AskUntil(WindowProbe& probe, const QByteArray& command, const QString& wanted)
{
    QString answer;
    for (int attempt = 0; attempt < 50 && answer != wanted; ++attempt) {
        if (attempt > 0)
            QThread::msleep(100);
        answer = probe.Ask(command);
    }
    return answer;
}

class RealXKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "xdotool"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (packages xvfb and xdotool)";
        }
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(server.Start()) << "no private X server";
        ASSERT_TRUE(probe.Start(server.Display(), folder.path())) << "the window did not start on " << qPrintable(server.Display());
    }

    QTemporaryDir folder;
    PrivateXServer server;
    WindowProbe probe;
};

struct KeysCase {
    const char* what;
    QStringList keys; // xdotool key names, typed in turn
    const char* expected;
};

const KeysCase kQuantityKeys[] = {
    {"dead acute, e", {"dead_acute", "e"}, "1"},
    {"dead diaeresis, u", {"dead_diaeresis", "u"}, "1"},
    {"compose key, apostrophe, e", {"Multi_key", "apostrophe", "e"}, "1"},
    {"compose key, minus, minus, space", {"Multi_key", "minus", "minus", "space"}, "1"},
    {"a key that types e acute", {"eacute"}, "1"},
    {"letter", {"a"}, "1"},
    {"digit", {"2"}, "12"},
    {"dead acute, then a digit", {"dead_acute", "5"}, "15"},
    {"third digit", {"3", "4"}, "13"},
    {"backspace", {"BackSpace"}, ""},
};

TEST_F(RealXKeys, QuantityBoxTakesOnlyDigitsWhateverTheKeysCompose)
{
    for (const KeysCase& c : kQuantityKeys) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(AskUntil(probe, "focus-quantity", "focused 1"), "focused 1");
        ASSERT_EQ(Xdotool(server.Display(), QStringList{"key", "--delay", "30"} + c.keys + QStringList{"F12"}), 0);
        EXPECT_EQ(probe.ReadLine(), QStringLiteral("keys-done ") + QString::fromUtf8(c.expected));
    }
}

TEST_F(RealXKeys, SaveDialogProposesNoNameBeforeALoad)
{
    for (const char* typed : {"first", "second"}) {
        SCOPED_TRACE(typed);
        ASSERT_EQ(probe.Ask("save"), "saving");
        const QString nameBox = AskUntil(probe, "name-box", "name-box []");
        EXPECT_EQ(nameBox, "name-box []") << "the name typed at an earlier save is not proposed";
        ASSERT_EQ(AskUntil(probe, "focus-dialog", "dialog-focused 1"), "dialog-focused 1");
        ASSERT_EQ(Xdotool(server.Display(), {"type", "--delay", "30", QString::fromLatin1(typed)}), 0);
        ASSERT_EQ(Xdotool(server.Display(), {"key", "Return"}), 0);
        const QString saved = QDir(folder.path()).filePath(QString::fromLatin1(typed) + ".lbl");
        QElapsedTimer waited;
        waited.start();
        while (!QFile::exists(saved) && waited.elapsed() < 10000)
            QThread::msleep(50);
        EXPECT_TRUE(QFile::exists(saved)) << qPrintable(saved);
        EXPECT_EQ(AskUntil(probe, "name-box", "name-box none"), "name-box none") << "the dialog closed";
    }
}

}  // namespace
