// The window on screens of other sizes and scale factors: the probe program
// on Qt's offscreen platform, with a screen of the test's own.
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <tuple>

#include <gtest/gtest.h>

namespace {

TEST(ScreenFit, TheWholeWindowIsOnScreenAndPrintCanBeClicked)
{
    for (const auto& [width, height, scale] : {std::tuple{1366, 768, 1.5}, std::tuple{1920, 1080, 2.0}}) {
        SCOPED_TRACE(QStringLiteral("%1 x %2 at %3").arg(width).arg(height).arg(scale).toStdString());
        QTemporaryDir folder;
        QFile config(folder.filePath("screen.json"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        const QString screen = R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": %1, "height": %2}]})";
        config.write(screen.arg(width).arg(height).toUtf8());
        config.close();
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName());
        environment.insert("QT_SCALE_FACTOR", QString::number(scale));
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
        EXPECT_NEAR(area.width() * scale, width, 1.0) << "the test's screen";
        EXPECT_TRUE(area.contains(frame)) << answer.toStdString();
        EXPECT_EQ(n[8], "btnPrint");
    }
}

}  // namespace
