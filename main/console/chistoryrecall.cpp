#include "main/console/chistoryrecall.h"

bool CHistoryRecall::Matches(const QString& entry, const QString& prefix)
{
    return entry.startsWith(prefix, Qt::CaseInsensitive);
}

CHistoryRecall::Step CHistoryRecall::Backward(const QStringList& history, int& cursor,
                                              const QString& prefix)
{
    const int count = static_cast<int>(history.size());
    Step step;
    if (cursor > 0 && count > 0) {
        if (prefix.isEmpty()) {
            step.index = qMin(cursor, count) - 1;
        } else {
            for (int i = qMin(cursor, count) - 1; i >= 0 && step.index < 0; --i)
                if (Matches(history.at(i), prefix))
                    step.index = i;
            // One wrap-around; the newest entry was the first one examined.
            for (int i = count - 2; i >= 0 && step.index < 0; --i)
                if (Matches(history.at(i), prefix))
                    step.index = i;
        }
        if (step.index >= 0) {
            step.action = Action::Show;
            cursor = step.index;
        } else {
            --cursor;
        }
    } else if (cursor == 0) {
        step.action = Action::Clear;
        cursor = count;
    }
    return step;
}

CHistoryRecall::Step CHistoryRecall::Forward(const QStringList& history, int& cursor,
                                             const QString& prefix)
{
    const int count = static_cast<int>(history.size());
    Step step;
    if (cursor >= -1 && cursor < count - 1) {
        if (prefix.isEmpty()) {
            step.index = cursor + 1;
        } else {
            for (int i = cursor + 1; i < count && step.index < 0; ++i)
                if (Matches(history.at(i), prefix))
                    step.index = i;
            for (int i = 1; i < count && step.index < 0; ++i)
                if (Matches(history.at(i), prefix))
                    step.index = i;
        }
        if (step.index >= 0) {
            step.action = Action::Show;
            cursor = step.index;
        } else {
            ++cursor;
        }
    } else if (cursor == count - 1 && count > 0) {
        step.action = Action::Clear;
        cursor = 0;
    }
    return step;
}
