#pragma once

#include <QString>
#include <QStringList>

// The command history as the command window uses it: statements entered are
// added, Up and Down walk the entries with a recall cursor, and the window's
// "Clear Command History" empties it. GUI thread only.
class IConsoleHistory {
public:
    virtual ~IConsoleHistory() = default;

    virtual bool AddFromWindow(const QString& line) = 0;
    virtual const QStringList& Entries() const = 0;
    // The recall cursor, moved by the window's Up and Down.
    virtual int& Cursor() = 0;
    virtual void Clear() = 0;
};
