#pragma once

#include <QIcon>
#include <QList>

// The status bar's images, drawn at start: five 16x16 icons and the
// eight-frame busy animation.
namespace StatusIcons {
QIcon Ready();
QIcon Disconnected();
QIcon Debug();
QIcon Run();
QIcon Connecting();
const QList<QIcon>& BusyFrames();
}  // namespace StatusIcons
