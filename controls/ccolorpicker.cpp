#include "controls/ccolorpicker.h"

#include <QColorDialog>
#include <QMenu>
#include <QPixmap>

CColorPicker::CColorPicker(QWidget* parent)
    : QToolButton(parent)
{
    setPopupMode(QToolButton::MenuButtonPopup);
    auto* menu = new QMenu(this);
    static const int kBasic[] = {0x000000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x0000FF, 0x00FF00,
                                 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x000080, 0x008000,
                                 0x800000, 0x228B22, 0x0080FF, 0xFFFF80};
    for (int color : kBasic) {
        QPixmap swatch(16, 16);
        swatch.fill(ToQColor(color));
        menu->addAction(QIcon(swatch), ToQColor(color).name(), this, [this, color] { SetColor(color); });
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("More Colors..."), this, &CColorPicker::ChooseMore);
    setMenu(menu);
    connect(this, &QToolButton::clicked, this, &CColorPicker::ChooseMore);
    SetColor(0);
}

QColor CColorPicker::ToQColor(int colorRef)
{
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

int CColorPicker::FromQColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

void CColorPicker::SetColor(int colorRef)
{
    colorRef &= 0xFFFFFF;
    const bool changed = colorRef != m_color;
    m_color = colorRef;
    QPixmap swatch(32, 14);
    swatch.fill(ToQColor(colorRef));
    setIcon(QIcon(swatch));
    setIconSize(swatch.size());
    if (changed)
        emit colorChanged(colorRef);
}

void CColorPicker::ChooseMore()
{
    const QColor chosen = QColorDialog::getColor(ToQColor(m_color), this);
    if (chosen.isValid())
        SetColor(FromQColor(chosen));
}
