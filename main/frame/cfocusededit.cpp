#include "main/frame/cfocusededit.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWebEngineView>

#include "controls/cgridctrl.h"

namespace {
template <typename Control>
void Apply(Control* control, CFocusedEdit::Command command)
{
    switch (command) {
    case CFocusedEdit::Command::Cut: control->cut(); break;
    case CFocusedEdit::Command::Copy: control->copy(); break;
    case CFocusedEdit::Command::Paste: control->paste(); break;
    }
}
}  // namespace

bool CFocusedEdit::Run(Command command, QWidget* focus, const QWidget* excluded)
{
    if (!focus || focus == excluded)
        return false;
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        focus = combo->lineEdit();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        Apply(line, command);
        return true;
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        Apply(plain, command);
        return true;
    }
    if (auto* rich = qobject_cast<QTextEdit*>(focus)) {
        Apply(rich, command);
        return true;
    }
    if (auto* grid = qobject_cast<CGridCtrl*>(focus)) {
        switch (command) {
        case Command::Cut: grid->Cut(); break;
        case Command::Copy: grid->Copy(); break;
        case Command::Paste: grid->Paste(); break;
        }
        return true;
    }
    // A page (documentation, profiler report) is read only: it copies. The
    // keys sit in a child of the view.
    for (QWidget* at = focus; at && command == Command::Copy; at = at->parentWidget()) {
        if (auto* page = qobject_cast<QWebEngineView*>(at)) {
            page->triggerPageAction(QWebEnginePage::Copy);
            return true;
        }
    }
    return false;
}
