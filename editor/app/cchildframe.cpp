#include "editor/app/cchildframe.h"

#include "editor/core/cmarlinoteview.h"

#include <QVBoxLayout>

CChildFrame::CChildFrame(QWidget* parent) : QWidget(parent), m_view(new CMarlinoteView(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setFocusProxy(m_view);
}

CMarlinoteDoc* CChildFrame::Document() const
{
    return m_view->GetDocument();
}
