#pragma once

#include <QLineEdit>

// A number box of the options pages: shows the value in decimal and reads
// back the leading integer of the text, kept within [min, max] (so 0 or
// nonsense never reaches a setting that divides by it or empties a window).
class COptionsNumber : public QLineEdit {
public:
    COptionsNumber(int minimum, int maximum, QWidget* parent = nullptr);

    void SetValue(int value) { setText(QString::number(value)); }
    int Value() const { return Parse(text(), m_min, m_max); }

    static int Parse(const QString& text, int minimum, int maximum);

private:
    int m_min;
    int m_max;
};
