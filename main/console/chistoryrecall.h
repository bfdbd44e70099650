#pragma once

#include <QString>
#include <QStringList>

// Walking the command history from the command line: Up and Down with an
// optional prefix (what the user typed before the caret). The history is
// oldest first; the cursor is the index of the entry last shown (N after an
// addition).
class CHistoryRecall {
public:
    enum class Action { Nothing, Show, Clear };
    struct Step {
        Action action = Action::Nothing;
        int index = -1;  // the entry to show with Action::Show
    };

    // The cursor is updated in place.
    static Step Backward(const QStringList& history, int& cursor, const QString& prefix);
    static Step Forward(const QStringList& history, int& cursor, const QString& prefix);

private:
    static bool Matches(const QString& entry, const QString& prefix);
};
