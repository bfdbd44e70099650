#pragma once

#include <string>
#include <vector>

#include "main/session/coctavedialect.h"
#include "main/session/isessionpanes.h"

// Readers of the answers the dispatcher collects up to the prompt. Input is
// the collected text with carriage returns removed, ending in the prompt.
class CAnswerParser {
public:
    // "path": every line but the heading and the prompt line, "." skipped.
    static std::vector<std::string> PathList(const std::string& answer);

    // "pkg describe": one row per package (name, version, short description,
    // status); no package gives the single row "No packages installed.".
    static std::vector<CPackageRow> PackageList(const std::string& answer, const COctaveDialect& dialect);

    // Completion: the lines of the answer, empty ones dropped, prompt line
    // included as the last piece.
    static std::vector<std::string> Lines(const std::string& answer);

    // A debug stop in the answer: the file and the line of the last
    // "stopped in ". False when none can be read.
    static bool DebugStop(const std::string& answer, const COctaveDialect& dialect, std::string& file,
                          std::string& line);

    // &, < and > written as HTML entities.
    static std::string HtmlEscaped(const std::string& text);
    // The value answer as the editor's HTML tooltip shows it: the prompt
    // removed, the text escaped, the name in front of the '=' bold.
    static std::string ValueText(const std::string& answer);

    // The names listed after "See also: " (up to "Additional" or the end).
    static std::vector<std::string> SeeAlsoNames(const std::string& text, std::size_t* startOfList = nullptr);
};
