#pragma once

#include <string>
#include <vector>

#include "main/session/cinfovariable.h"

// The two workspace statements and the readers of their answer files.
class CWorkspaceStatements {
public:
    // Lists the workspace (whos) into namesFile and prints "__varsnameready__".
    static std::string NamesStatement(const std::string& namesFile);

    // Writes the statistics of every numeric variable into valuesFile and
    // prints "__varsvaluesready__". The variables are read from the caller's
    // workspace by name, never passed as parameters, so no user variable can
    // collide with the helper's own names.
    static std::string ValuesStatement(const std::string& valuesFile,
                                       const std::vector<CInfoVariable>& variables);

    // Reads the names answer (records "<#>", fields "<|>": name, class, size,
    // bytes). Records with fewer fields are skipped.
    static std::vector<CInfoVariable> ParseNames(const std::string& text);
    // Copies the statistics of the values answer into the variables with the
    // same name. Missing fields stay empty.
    static void ApplyValues(const std::string& text, std::vector<CInfoVariable>& variables);

    // The kind of a variable from its class and reformatted size.
    static int KindOf(const std::string& className, const std::string& size);
    // "2  3  4" -> "2x3x4".
    static std::string FormatSize(const std::string& size);

    // The whole text of an answer file, its lines joined; false when it
    // cannot be read.
    static bool ReadAnswerFile(const std::string& path, std::string& text);
};
