#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Tests share one QApplication: fonts, printers and widgets need it.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing a test prints goes into the user's own data folder, and no test
    // meets the register of issued passes unless it turns one on itself: a
    // row printed twice would otherwise be asked about.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    // Nor are the user's own settings (printer corrections) read or changed.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    if (!qEnvironmentVariableIsSet("TESSARY_REGISTER"))
        qputenv("TESSARY_REGISTER", "off");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
