#pragma once

#include <QString>
#include <QUrl>

// The file names of the interpreter's HTML manual (Texinfo naming: a
// character other than a letter or digit is written "_" + four hex digits,
// "_005f" for "_"). A function entry is a small redirect stub, "XREF" + name
// + ".html" (older manuals: "doc_002d" + name + ".html"), whose "url=" names
// the page and anchor that document it.
namespace ManualNames {

// The manual beside the interpreter installed in interpreterFolder (the
// folder holding the program): "../doc/octave/html/interpreter" (the
// Windows layout), then "../share/doc/octave/octave.html" (Debian), then the
// system's manual. Empty when none holds an "index.html".
QString FindManualFolder(const QString& interpreterFolder);

// name in the file-name encoding: every character but ASCII letters and
// digits becomes "_" + four hex digits, so no name can reach outside the
// folder ("/" and "." are encoded too).
QString EncodeName(const QString& name);

bool IsFunctionEntry(const QString& fileName);
bool IsFigure(const QString& fileName);

// The readable topic of a page's file name: "XREFa_005fb.html" -> "a_b",
// "Basic-Vectorization.html" -> "Basic Vectorization".
QString Title(const QString& fileName);

// The stub of a function name in folder that exists, else empty.
QString StubPath(const QString& folder, const QString& name);

// The address a stub sends to: its "url=" target (percent-escapes decoded)
// resolved against the stub's folder. Invalid when the stub cannot be read,
// has no "url=", or the target lies outside the stub's folder.
QUrl StubTarget(const QString& stubPath);

// The search text as a regular expression for one line of a page:
// "*" any run, "?" one character, words are alternatives (the words "and"
// and "or" only separate), a text in double quotes is one alternative; every
// other character stands for itself. Lower case.
QString SearchPattern(const QString& text);

}  // namespace ManualNames
