#pragma once

#include <QString>

// What the connection thread asks of the windows. Every call comes from the
// connection thread; implementations queue the work to the GUI thread and
// return at once (the GUI thread may be waiting for the connection).
class IConnectionHost {
public:
    virtual ~IConnectionHost() = default;

    // The interpreter could not be started: ask for its folder, then connect
    // again if the user chose one.
    virtual void ConnectionStartFailed() = 0;
    // The banner named a version that is too old (or none).
    virtual void ConnectionVersionRefused() = 0;
    // The interpreter is ready: the working folder is set (replaced: the
    // stored one did not exist), reload the history (keeping maxHistory).
    virtual void ConnectionReady(const QString& workFolder, bool workFolderReplaced) = 0;
    // The session ended (interpreter gone, refused, or disconnected).
    virtual void ConnectionEnded() = 0;
};
