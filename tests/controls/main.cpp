// The widget tests need a QApplication. Settings and folders go to a fresh
// temporary home; the web engine runs without its sandbox (the tests may run
// as root) on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    QTemporaryDir home;
    const QByteArray root = home.path().toLocal8Bit();
    if (home.isValid()) {
        qputenv("HOME", root);
        qputenv("XDG_CONFIG_HOME", root);
        qputenv("XDG_DATA_HOME", root);
        qputenv("XDG_RUNTIME_DIR", root);
        qputenv("TMPDIR", root);
    } else {
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
