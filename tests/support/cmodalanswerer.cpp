#include "tests/support/cmodalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QPushButton>

CModalAnswerer::CModalAnswerer(QMessageBox::StandardButton button, bool tick) : m_button(button), m_tick(tick)
{
    connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
    m_timer.start(20);
}

void CModalAnswerer::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        texts << box->text();
        if (m_tick && box->checkBox())
            box->checkBox()->setChecked(true);
        QAbstractButton* target = box->button(m_button);
        if (!target)
            target = box->defaultButton() ? static_cast<QAbstractButton*>(box->defaultButton())
                                          : box->buttons().value(0);
        if (target)
            target->click();
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        ++dialogs;
        if (auto* files = qobject_cast<QFileDialog*>(dialog))
            folders << files->directory().absolutePath();
        dialog->reject();
    }
}
