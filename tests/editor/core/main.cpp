// The widget tests need a QApplication; settings and folders go to a fresh
// private home so the user's own profile is never touched.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

#include "tests/support/cprivatehome.h"

int main(int argc, char** argv)
{
    CPrivateHome::Use(QStringLiteral("editorcore-test"));
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
