#pragma once

#include <QDialog>

class CMainFrame;
class QListWidget;

// The toolbar customisation: which commands the "Standard" toolbar shows and
// in which order; "Reset" restores the default layout with both combo boxes.
class CToolbarCustomizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit CToolbarCustomizeDialog(CMainFrame* frame);

    QListWidget* List() const { return m_list; }
    void Reset();
    void Apply();

private:
    void Fill(const QList<int>& layout);
    void Move(int delta);

    CMainFrame* m_frame;
    QListWidget* m_list;
};
