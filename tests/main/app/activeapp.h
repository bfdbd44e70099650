#pragma once

#include <QTest>

#include "main/app/ckestruneapp.h"
#include "main/frame/cmainframe.h"
#include "platform/cprofile.h"

namespace kestrunetest {
// Starts the whole program without the interpreter, the splash window and
// the editor's channel, and waits until its window is the active one.
inline bool StartActive(CKestruneApp& app)
{
    CProfile(QStringLiteral("Kestrune")).WriteInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 0);
    CKestruneApp::Options options;
    options.splash = false;
    options.listen = false;
    if (!app.Start(options))
        return false;
    app.Frame()->activateWindow();
    return QTest::qWaitForWindowActive(app.Frame());
}
}  // namespace kestrunetest
