#pragma once

#include <QMessageBox>
#include <QString>

// A message box with an optional check box under the text. Two uses:
// - Show(): the caller gets the button and the check box state and decides
//   itself what ticking the box means (for example writing a setting back);
// - ShowRemembered(): the box remembers the answer per message key in
//   "XMessageBox.ini" when the user ticks "Don't ask me again", and from then
//   on returns that answer without asking.
class CMessageBox {
public:
    struct Result {
        QMessageBox::StandardButton button = QMessageBox::NoButton;
        bool checked = false;
    };

    static Result Show(QWidget* parent, const QString& text, const QString& caption,
                       QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
                       const QString& checkText = QString(),
                       QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    static QMessageBox::StandardButton ShowRemembered(
        QWidget* parent, const QString& key, const QString& text, const QString& caption,
        QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
        const QString& checkText = QStringLiteral("Don't ask me again"));

    // The stored answer for key, or NoButton.
    static QMessageBox::StandardButton RememberedAnswer(const QString& key);
    static void Forget(const QString& key);

    // "XMessageBox.ini" in the application data folder of the running program.
    static QString IniPath();

    // The object name given to every box, so tests can find and answer it.
    static const char* ObjectName();
};
