#pragma once

#include <QFrame>
#include <QStringList>

class QListWidget;

// The completion list: a small frame over the command window, under the
// caret (above it when there is no room below), holding the candidates
// sorted without regard to case, at most ten rows visible. It never takes the
// keyboard focus on its own: the user keeps typing in the command window,
// which drives it with SelectPrevious/SelectNext/Accept/hide.
class CCompletionList : public QFrame {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 17;
    static constexpr int kMaxRows = 10;

    // owner: the command window; the list is its child.
    explicit CCompletionList(QWidget* owner);

    // Fills the list and places it by the caret (caret rectangle in the
    // owner's coordinates); the first entry is selected.
    void ShowAt(const QStringList& candidates, const QRect& caret);

    void SelectPrevious();
    void SelectNext();
    // Hands the selected entry on through accepted().
    void Accept();

    QString Selected() const;
    QStringList Entries() const;
    QListWidget* List() const { return m_list; }

signals:
    void accepted(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Cancel();

    QWidget* m_owner;
    QListWidget* m_list;
};
