#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/cprivatehome.h"

// Settings, application data and the message channel all live under a
// private home, so the tests never touch the user's own.
int main(int argc, char** argv)
{
    CPrivateHome::Use(QStringLiteral("editorapp-test"));
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
