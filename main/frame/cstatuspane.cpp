#include "main/frame/cstatuspane.h"

#include <QHBoxLayout>
#include <QLabel>

CStatusPane::CStatusPane(int width, QWidget* parent)
    : QWidget(parent), m_icon(new QLabel(this)), m_text(new QLabel(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(3);
    m_icon->setFixedSize(16, 16);
    layout->addWidget(m_icon);
    layout->addWidget(m_text, 1);
    setFixedWidth(width);
}

void CStatusPane::SetText(const QString& text)
{
    if (m_text->text() != text)
        m_text->setText(text);
}

void CStatusPane::SetIcon(const QIcon& icon)
{
    m_iconKey = icon.cacheKey();
    m_icon->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(16, 16));
}

QString CStatusPane::Text() const
{
    return m_text->text();
}
