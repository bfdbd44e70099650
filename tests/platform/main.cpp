// Runs the platform tests under a private HOME, settings, data, runtime and
// temporary folder, so the user's own files and sockets are never touched.
#include <QCoreApplication>

#include <gtest/gtest.h>

#include "tests/support/cprivatehome.h"

int main(int argc, char** argv)
{
    CPrivateHome::Use(QStringLiteral("kestrune-platform-test"));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
