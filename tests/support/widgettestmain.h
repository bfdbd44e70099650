#pragma once

// One main for widget test programs: a private home, the offscreen platform
// unless told otherwise, then the application under the main program's names.

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/cprivatehome.h"

#define KESTRUNE_WIDGET_TEST_MAIN()                                        \
    int main(int argc, char** argv)                                        \
    {                                                                      \
        CPrivateHome::Use();                                               \
        setenv("QT_QPA_PLATFORM", "offscreen", 0);                         \
        /* Panes with web pages: the tests may run as root. */             \
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);                     \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);        \
        QApplication application(argc, argv);                              \
        QApplication::setOrganizationName(QStringLiteral("Halvard"));      \
        QApplication::setApplicationName(QStringLiteral("Kestrune"));      \
        QApplication::setApplicationVersion(QStringLiteral("1.0.0"));      \
        ::testing::InitGoogleTest(&argc, argv);                            \
        return RUN_ALL_TESTS();                                            \
    }
