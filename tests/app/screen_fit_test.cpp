// The window on screens of other sizes and scale factors: the probe program
// on Qt's offscreen platform, with a screen of the test's own.
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
        double scale;
        bool designSize;  // room for the window as laid out; offscreen frames are 2 pixels wide
    };
    for (const Case& c : {Case{1366, 768, 1.5, false}, Case{1920, 1080, 2, false}, Case{1024, 768, 1, true}}) {
        SCOPED_TRACE(QStringLiteral("%1 x %2 at %3").arg(c.width).arg(c.height).arg(c.scale).toStdString());
        QTemporaryDir folder;
        QFile config(folder.filePath("screen.json"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral(R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": %1, "height": %2}]})")
                         .arg(c.width)
                         .arg(c.height)
                         .toUtf8());
        config.close();
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName());
        environment.insert("QT_SCALE_FACTOR", QString::number(c.scale));
        probe.setProcessEnvironment(environment);
        probe.setWorkingDirectory(folder.path());
        probe.start(QStringLiteral(TESSARY_WINDOW_PROBE), {});
        probe.write("fit\nquit\n");
        ASSERT_TRUE(probe.waitForFinished(30000));
        const QString answer = QString::fromUtf8(probe.readAllStandardOutput()).section("fit ", 1).section('\n', 0, 0);
        const QStringList n = answer.split(' ');
        ASSERT_EQ(n.size(), 9) << answer.toStdString();
        const QRect frame(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
        const QRect area(n[4].toInt(), n[5].toInt(), n[6].toInt(), n[7].toInt());
        EXPECT_NEAR(area.width() * c.scale, c.width, 1.0) << "the test's screen";
        EXPECT_TRUE(area.contains(frame)) << answer.toStdString();
        EXPECT_EQ(n[8], "btnPrint");
        EXPECT_EQ(frame.size() == QSize(399, 579), c.designSize) << answer.toStdString();
    }
}

}  // namespace
