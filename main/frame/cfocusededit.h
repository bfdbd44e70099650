#pragma once

class QWidget;

// The Edit commands (Cut, Copy, Paste) of the menu and toolbar act on the
// control that has the keys when it copies and pastes on its own: a line
// edit, an editable combo box, a text box or a grid; a page only copies.
// Run tells whether the focused control took the command; the caller does it
// elsewhere otherwise.
class CFocusedEdit {
public:
    enum class Command { Cut, Copy, Paste };

    // Runs the command on the focused control unless it is the excluded one
    // (the command window keeps its own rules); false when nothing took it.
    static bool Run(Command command, QWidget* focus, const QWidget* excluded);
};
