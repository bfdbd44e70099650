#pragma once

#include <string>
#include <vector>

#include "main/session/cinfovariable.h"

// The statements the workspace list sends, built from checked input only.
// Every builder that can refuse returns false with a message for the user.
class CVariableStatements {
public:
    // Letter first, then letters, digits and "_".
    static bool IsIdentifier(const std::string& text);
    // Letters, digits and "_" only (may be empty).
    static bool IsSuffix(const std::string& text);

    // True when the Value text "<3x4 int8>" names double, single, int* or uint*.
    static bool IsNumericMatrixClass(const std::string& valueText);
    // "<" + size + " " + class + ">".
    static std::string ValueText(const CInfoVariable& variable);
    // Numeric class of at most three dimensions: the variable editor shows it.
    static bool OpensInEditor(const CInfoVariable& variable);

    // Nothing (true, empty statement) when the new name is the old one.
    static bool Rename(const std::string& oldName, const std::string& newName, std::string& statement,
                       std::string& message);
    static bool Duplicate(const std::string& name, const std::string& suffix, std::string& statement,
                          std::string& message);
    static std::string Delete(const std::vector<std::string>& names);
    static std::string Plot(const std::string& function, const std::vector<std::string>& names);
    static bool Load(const std::string& path, std::string& statement, std::string& message);

    // The save option for a file extension ("fbin" -> "float-binary");
    // empty when the extension names no format this program writes.
    static std::string SaveFormat(const std::string& extension);
    // The save statement for the chosen variables. Variables a format cannot
    // hold are left out and named in message (the statement may still be
    // made for the others); false when nothing can be saved.
    static bool Save(const std::string& path, const std::string& extension,
                     const std::vector<CInfoVariable>& variables, std::string& statement,
                     std::string& message);

    // True when function can draw the variable: a non-empty 2-D numeric
    // matrix; pie wants a vector, the surface functions at least 2x2.
    static bool PlotAccepts(const std::string& function, const CInfoVariable& variable);

    // The fourteen functions of the Plot menu, in menu order.
    static const std::vector<std::string>& PlotFunctions();
};
