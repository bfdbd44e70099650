#include "main/workspace/cvariablestatements.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "common/splitlist.h"
#include "platform/octavequote.h"

namespace {

bool IsWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool IsKeyword(const std::string& text)
{
    static const std::set<std::string> keywords = {
        "__FILE__", "__LINE__", "break", "case", "catch", "classdef", "continue", "do", "else", "elseif",
        "end", "end_try_catch", "end_unwind_protect", "endclassdef", "endenumeration", "endevents",
        "endfor", "endfunction", "endif", "endmethods", "endparfor", "endproperties", "endspmd",
        "endswitch", "endwhile", "enumeration", "events", "for", "function", "global", "if", "methods",
        "otherwise", "parfor", "persistent", "properties", "return", "spmd", "switch", "try", "until",
        "unwind_protect", "unwind_protect_cleanup", "while"};
    return keywords.count(text) > 0;
}

std::vector<long long> Dimensions(const std::string& size)
{
    std::vector<std::string> pieces;
    SplitList(size, "x", pieces, true);
    std::vector<long long> dimensions;
    for (const std::string& piece : pieces)
        dimensions.push_back(std::atoll(piece.c_str()));
    return dimensions;
}

bool IsEmptySize(const std::string& size)
{
    const std::vector<long long> d = Dimensions(size);
    return std::find(d.begin(), d.end(), 0) != d.end();
}

std::string JoinNames(const std::vector<std::string>& names)
{
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

std::string NumericClassOf(const std::string& valueText)
{
    // "<3x4 int8>" -> "int8"
    const std::size_t blank = valueText.find(' ');
    if (blank == std::string::npos)
        return std::string();
    std::string className = valueText.substr(blank + 1);
    if (!className.empty() && className.back() == '>')
        className.pop_back();
    return className;
}

}  // namespace

bool CVariableStatements::IsIdentifier(const std::string& text)
{
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0])))
        return false;
    return std::all_of(text.begin(), text.end(), IsWordChar) && !IsKeyword(text);
}

bool CVariableStatements::IsSuffix(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), IsWordChar);
}

bool CVariableStatements::IsNumericMatrixClass(const std::string& valueText)
{
    const std::string c = NumericClassOf(valueText);
    return c == "double" || c == "single" || c.rfind("int", 0) == 0 || c.rfind("uint", 0) == 0;
}

std::string CVariableStatements::ValueText(const CInfoVariable& variable)
{
    return "<" + variable.size + " " + variable.className + ">";
}

bool CVariableStatements::OpensInEditor(const CInfoVariable& variable)
{
    // The editor's statements address three subscripts; a fourth dimension
    // would be folded into the third without a word.
    return IsNumericMatrixClass(ValueText(variable)) && Dimensions(variable.size).size() <= 3;
}

bool CVariableStatements::Rename(const std::string& oldName, const std::string& newName,
                                 std::string& statement, std::string& message)
{
    statement.clear();
    if (newName.empty() || newName == oldName)
        return true;
    if (!IsIdentifier(newName) || !IsIdentifier(oldName)) {
        message = "'" + newName + "' is not a valid variable name.";
        return false;
    }
    statement = newName + " = " + oldName + "; clear " + oldName + ";";
    return true;
}

bool CVariableStatements::Duplicate(const std::string& name, const std::string& suffix, std::string& statement,
                                    std::string& message)
{
    statement.clear();
    if (!IsSuffix(suffix)) {
        message = "The suffix may hold only letters, digits and \"_\".";
        return false;
    }
    if (!IsIdentifier(name) || !IsIdentifier(name + suffix)) {
        message = "'" + name + suffix + "' is not a valid variable name.";
        return false;
    }
    statement = name + suffix + " = " + name + ";";
    return true;
}

std::string CVariableStatements::Delete(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names)
        if (IsIdentifier(name))
            list += name + " ";
    return list.empty() ? std::string() : "clear " + list + ";";
}

std::string CVariableStatements::Plot(const std::string& function, const std::vector<std::string>& names)
{
    const std::vector<std::string>& functions = PlotFunctions();
    if (std::find(functions.begin(), functions.end(), function) == functions.end())
        return std::string();
    std::vector<std::string> valid;
    std::copy_if(names.begin(), names.end(), std::back_inserter(valid), IsIdentifier);
    if (valid.empty())
        return std::string();
    std::string text = "figure; " + function + "(" + valid[0] + ");";
    if (valid.size() > 1) {
        text += " hold on;";
        for (std::size_t i = 1; i < valid.size(); ++i)
            text += " " + function + "(" + valid[i] + ");";
    }
    return text + " hold off;";
}

bool CVariableStatements::Load(const std::string& path, std::string& statement, std::string& message)
{
    std::string literal;
    if (!OctaveQuote(path, literal, &message))
        return false;
    statement = "load(" + literal + ");";
    return true;
}

std::string CVariableStatements::SaveFormat(const std::string& extension)
{
    if (extension == "fhdf5")
        return "float-hdf5";
    if (extension == "txt")
        return "ascii";
    if (extension == "bin")
        return "binary";
    if (extension == "fbin")
        return "float-binary";
    return extension;
}

bool CVariableStatements::Save(const std::string& path, const std::string& extension,
                               const std::vector<CInfoVariable>& variables, std::string& statement,
                               std::string& message)
{
    statement.clear();
    message.clear();
    const std::string format = SaveFormat(extension);
    if (format.empty() || variables.empty())
        return false;
    std::vector<const CInfoVariable*> kept;
    std::vector<std::string> leftOut;
    for (const CInfoVariable& v : variables) {
        bool fits = IsIdentifier(v.name);
        if (format == "ascii")
            fits = fits && v.kind == CInfoVariable::NumericMatrix;
        else if (format == "float-binary")
            fits = fits && !IsEmptySize(v.size);
        if (fits)
            kept.push_back(&v);
        else
            leftOut.push_back(v.name);
    }
    if (format == "ascii" && kept.size() > 1) {
        // Several matrices in one text file cannot be loaded back.
        message = "An ASCII file holds one matrix that can be loaded back: select one two-dimensional "
                  "numeric variable to save it in this format.";
        return false;
    }
    if (!leftOut.empty()) {
        message = format == "ascii"
                      ? "Only a two-dimensional real numeric variable can be saved in ASCII format. Not saved: "
                      : "Empty variables make a Float Binary file unreadable. Not saved: ";
        message += JoinNames(leftOut) + ".";
    }
    if (kept.empty())
        return false;
    std::string pathLiteral, formatLiteral;
    if (!OctaveQuote(path, pathLiteral, &message) || !OctaveQuote("-" + format, formatLiteral, &message))
        return false;
    std::string list;
    for (const CInfoVariable* v : kept)
        list += (list.empty() ? "'" : ",'") + v->name + "'";
    statement = "save(" + formatLiteral + ", " + pathLiteral + ", " + list + ");";
    if (format == "ascii") {
        // Octave would write the real part alone.
        const std::string& name = kept.front()->name;
        statement = "if ~isreal(" + name + "), error('" + name
                    + " is complex: only real values can be saved in ASCII format'); end, " + statement;
    }
    return true;
}

bool CVariableStatements::PlotAccepts(const std::string& function, const CInfoVariable& variable)
{
    const std::vector<long long> d = Dimensions(variable.size);
    if (variable.kind != CInfoVariable::NumericMatrix || d.size() != 2 || IsEmptySize(variable.size))
        return false;
    if (function == "pie")
        return d[0] == 1 || d[1] == 1;
    if (function == "contour" || function == "image" || function == "imagesc" || function == "pcolor")
        return d[0] >= 2 && d[1] >= 2;
    return true;
}

const std::vector<std::string>& CVariableStatements::PlotFunctions()
{
    static const std::vector<std::string> functions = {"plot",   "area", "bar",  "barh",    "hist",
                                                       "pareto", "pie",  "rose", "stairs",  "stem",
                                                       "contour", "image", "imagesc", "pcolor"};
    return functions;
}
