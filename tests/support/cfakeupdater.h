#pragma once

#include <QStringList>
#include <QTemporaryDir>

// A program folder "bin" with an updater "updater/gup" beside it that notes
// its working folder and arguments, one line a start.
class CFakeUpdater {
public:
    CFakeUpdater();

    bool IsValid() const { return m_valid; }
    QString ProgramFolder() const;
    // The updater's folder as the updater sees it (links resolved).
    QString UpdaterFolder() const;
    // The lines noted so far.
    QStringList Calls() const;
    // Waits up to timeoutMs for count lines; returns what is noted then.
    QStringList WaitForCalls(int count, int timeoutMs = 5000) const;

private:
    QTemporaryDir m_root;
    bool m_valid = false;
};
