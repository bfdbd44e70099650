#include "editor/core/cgotodlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

#include <climits>

CGotoDlg::CGotoDlg(Kind kind, long maximum, long current, QWidget* parent) : QDialog(parent)
{
    const bool line = kind == Kind::Line;
    setWindowTitle(line ? tr("Goto Line") : tr("Goto character position"));
    m_number = new QSpinBox(this);
    m_number->setRange(line ? 1 : 0, static_cast<int>(qBound(0L, maximum, long(INT_MAX))));
    m_number->setValue(static_cast<int>(qBound(long(m_number->minimum()), current,
                                                long(m_number->maximum()))));
    m_number->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(line ? tr("Line number:") : tr("Character position:"), m_number);
    layout->addRow(buttons);
}

long CGotoDlg::GetValue() const
{
    return m_number->value();
}

void CGotoDlg::SetValue(long value)
{
    m_number->setValue(static_cast<int>(value));
}
