#pragma once

#include <QByteArray>

#include <vector>

// The breakpoint statements of the editor. The interpreter is given the
// file's function name and the lines as text in every form, also at a debug
// prompt: a bare line sets the breakpoint in the function the debugger stands
// in, not in the clicked file, and numeric lines are refused.
//
// Clearing works around the interpreter's own rules: when a file holds a
// breakpoint in a subfunction, clearing one line clears every breakpoint of
// the file, and clearing by name alone only puts the subfunction's
// breakpoints to sleep. So one line is cleared by clearing it and setting the
// remaining ones again, and all of them by naming every line.
//
// Each function returns an empty text when the name cannot be put into a
// statement (it holds a line break).
namespace BreakpointStatements {

// dbstop('f','5')
QByteArray Set(const QByteArray& function, int line);

// dbclear('f','9'); and, when lines remain, dbstop('f','3','7');
QByteArray Clear(const QByteArray& function, int line, const std::vector<int>& remaining);

// dbstop('f','3','7','9'); empty when there are no lines.
QByteArray SetAll(const QByteArray& function, const std::vector<int>& lines);

// dbclear('f','3','7','9'); empty when there are no lines.
QByteArray ClearAll(const QByteArray& function, const std::vector<int>& lines);

}  // namespace BreakpointStatements
