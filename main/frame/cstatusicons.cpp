#include "main/frame/cstatusicons.h"

#include <QPainter>
#include <QPixmap>
#include <QtMath>

namespace {
QIcon Disc(const QColor& colour, const QColor& mark = QColor())
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(150));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(2, 2, 12, 12));
    if (mark.isValid()) {
        painter.setPen(QPen(mark, 2));
        painter.drawLine(QPointF(5, 8), QPointF(11, 8));
    }
    return QIcon(pixmap);
}
}  // namespace

namespace StatusIcons {
QIcon Ready() { static const QIcon icon = Disc(QColor(40, 170, 60)); return icon; }
QIcon Disconnected() { static const QIcon icon = Disc(QColor(200, 40, 40), Qt::white); return icon; }
QIcon Debug() { static const QIcon icon = Disc(QColor(240, 150, 20)); return icon; }
QIcon Run() { static const QIcon icon = Disc(QColor(40, 110, 210)); return icon; }
QIcon Connecting() { static const QIcon icon = Disc(QColor(230, 210, 40)); return icon; }

const QList<QIcon>& BusyFrames()
{
    static const QList<QIcon> frames = [] {
        QList<QIcon> list;
        for (int frame = 0; frame < 8; ++frame) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            for (int dot = 0; dot < 8; ++dot) {
                const double angle = dot * M_PI / 4;
                const int age = (frame - dot + 8) % 8;
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor(30, 90, 200, 255 - age * 28));
                painter.drawEllipse(QPointF(8 + 5.5 * qCos(angle), 8 + 5.5 * qSin(angle)), 1.8, 1.8);
            }
            list << QIcon(pixmap);
        }
        return list;
    }();
    return frames;
}
}  // namespace StatusIcons
