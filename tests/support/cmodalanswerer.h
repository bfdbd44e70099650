#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers every modal message box and dialog as it appears: records the
// message text, ticks the check box when asked, and presses the button
// (a dialog is rejected).
class CModalAnswerer : public QObject {
public:
    explicit CModalAnswerer(QMessageBox::StandardButton button = QMessageBox::Ok, bool tick = false);

    QStringList texts;
    int dialogs = 0;
    QStringList folders;  // the folder each rejected file dialog showed
    QMessageBox::StandardButton button() const { return m_button; }
    void SetButton(QMessageBox::StandardButton button) { m_button = button; }
    void SetTick(bool tick) { m_tick = tick; }

private:
    void Poll();

    QTimer m_timer;
    QMessageBox::StandardButton m_button;
    bool m_tick;
};
