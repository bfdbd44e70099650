#include "main/options/coptionsnumber.h"

#include <algorithm>

COptionsNumber::COptionsNumber(int minimum, int maximum, QWidget* parent)
    : QLineEdit(parent)
    , m_min(minimum)
    , m_max(maximum)
{
    setMaximumWidth(80);
}

int COptionsNumber::Parse(const QString& text, int minimum, int maximum)
{
    const QString trimmed = text.trimmed();
    qint64 value = 0;
    int i = 0;
    for (; i < trimmed.size() && trimmed[i].isDigit() && value <= maximum; ++i)
        value = value * 10 + trimmed[i].digitValue();
    return static_cast<int>(std::clamp<qint64>(value, minimum, maximum));
}
