#include "controls/csplashwnd.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

CSplashWnd::CSplashWnd(const QString& title, const QString& text, const QRect& textArea)
    : QSplashScreen(MakePicture(title)), m_text(text), m_textArea(textArea)
{
    setObjectName(QStringLiteral("SplashWnd"));
}

QPixmap CSplashWnd::MakePicture(const QString& title)
{
    QPixmap picture(450, 200);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, 450, 200);
    gradient.setColorAt(0, QColor(28, 64, 112));
    gradient.setColorAt(1, QColor(120, 170, 220));
    painter.fillRect(picture.rect(), gradient);
    QFont font = painter.font();
    font.setPointSize(28);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(24, 110, 400, 60), Qt::AlignLeft | Qt::AlignVCenter, title);
    return picture;
}

void CSplashWnd::drawContents(QPainter* painter)
{
    painter->setPen(Qt::white);
    painter->drawText(m_textArea, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}

void CSplashWnd::ShowFor(int timeoutMs)
{
    show();
    QTimer::singleShot(timeoutMs, this, [this] {
        close();
        deleteLater();
    });
}
