#pragma once

#include <QToolButton>

// A colour button: its menu offers a few basic colours and "More Colors..."
// for the system colour dialog. The colour is a COLORREF value 0x00BBGGRR,
// as the editor's settings keep it.
class CColorPicker : public QToolButton {
    Q_OBJECT
public:
    explicit CColorPicker(QWidget* parent = nullptr);

    int Color() const { return m_color; }
    void SetColor(int colorRef);

    static QColor ToQColor(int colorRef);
    static int FromQColor(const QColor& color);

signals:
    void colorChanged(int colorRef);

private:
    void ChooseMore();

    int m_color = 0;
};
