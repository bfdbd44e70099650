#pragma once

#include <QProcessEnvironment>
#include <QString>

// A private user for a test program: home, settings, data, runtime folder
// (the message channel's sockets, mode 0700) and temporary folder under one
// fresh folder, so tests never touch the user's own files or sockets.
class CPrivateHome {
public:
    // Points this process at a fresh private home (call before the
    // Q(Core)Application is made); the folder lives until the program ends.
    // Returns its root.
    static QString Use(const QString& prefix = QStringLiteral("kestrune-test"));

    // Makes the folders of a private home under root (for programs a test
    // starts) and returns their environment, based on this process's own.
    static QProcessEnvironment Environment(const QString& root);
};
