// The window on screens of other sizes and scale factors, run by the probe
// program on Qt's offscreen platform with a screen of the test's own.
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(ScreenFit, TheWholeWindowIsOnScreenAndPrintCanBeClicked)
{
    struct Case {
        int width, height;
        const char* scale;
        bool designSize;  // room for the window as laid out, frame included
    };
    const Case cases[] = {{1366, 768, "1.5", false}, {1920, 1080, "2", false}, {1024, 768, "1", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 x %2 at %3").arg(c.width).arg(c.height).arg(c.scale).toStdString());
        QTemporaryDir folder;
        QFile config(folder.filePath("screen.json"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral(R"({"screens": [{"name": "probe", "x": 0, "y": 0, "width": %1, "height": %2,
                                        "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                         .arg(c.width)
                         .arg(c.height)
                         .toUtf8());
        config.close();
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName());
        environment.insert("QT_SCALE_FACTOR", c.scale);
        probe.setProcessEnvironment(environment);
        probe.setWorkingDirectory(folder.path());
        probe.start(QStringLiteral(TESSARY_WINDOW_PROBE), {});
        probe.write("fit\nquit\n");
        ASSERT_TRUE(probe.waitForFinished(30000));
        const QStringList answer =
            QString::fromUtf8(probe.readAllStandardOutput()).section("fit ", 1).section('\n', 0, 0).split(' ');
        ASSERT_EQ(answer.size(), 9) << answer.join(' ').toStdString();
        const auto rect = [&](int at) {
            return QRect(answer[at].toInt(), answer[at + 1].toInt(), answer[at + 2].toInt(), answer[at + 3].toInt());
        };
        const QRect frame = rect(0);
        const QRect area = rect(4);
        EXPECT_TRUE(area.contains(frame)) << "frame " << frame.y() << " to " << frame.bottom() << ", screen to "
                                          << area.bottom();
        EXPECT_EQ(answer[8], "btnPrint");
        // Offscreen windows have a frame of 2 pixels all round.
        EXPECT_EQ(frame.size() == QSize(399, 579), c.designSize) << frame.width() << " x " << frame.height();
    }
}

}  // namespace
