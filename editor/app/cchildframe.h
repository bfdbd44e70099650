#pragma once

#include <QWidget>

class CMarlinoteDoc;
class CMarlinoteView;

// The page of one document in the frame's tab strip: it holds the document's
// view, which owns the document.
class CChildFrame : public QWidget {
    Q_OBJECT
public:
    explicit CChildFrame(QWidget* parent = nullptr);

    CMarlinoteView* View() const { return m_view; }
    CMarlinoteDoc* Document() const;

private:
    CMarlinoteView* m_view;
};
