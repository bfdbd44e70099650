#pragma once

#include "main/console/iconsolehistory.h"
#include "main/history/ccommandhistory.h"

// The command window's view of the command history.
class CConsoleHistory : public IConsoleHistory {
public:
    explicit CConsoleHistory(CCommandHistory& history) : m_history(history) {}

    bool AddFromWindow(const QString& line) override { return m_history.AddFromWindow(line); }
    const QStringList& Entries() const override { return m_history.Entries(); }
    int& Cursor() override { return m_history.Cursor(); }
    void Clear() override { m_history.Clear(); }

private:
    CCommandHistory& m_history;
};
