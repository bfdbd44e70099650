#include "cworkspacestatements.h"

#include <fstream>
#include <unordered_map>

#include "common/splitlist.h"
#include "platform/octavequote.h"

namespace {

std::vector<std::string> Split(const std::string& text, const std::string& separator, bool keepEmpty)
{
    std::vector<std::string> pieces;
    SplitList(text, separator, pieces, keepEmpty);
    return pieces;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

std::string CWorkspaceStatements::NamesStatement(const std::string& namesFile)
{
    // A file that cannot be written still ends in the marker, so the
    // dispatcher reads "no variables" instead of waiting for ever.
    return "function GetVariables(varslist), fid=fopen(" + OctaveQuoted(namesFile)
           + ", 'w'); if fid >= 0, for i=1:size(varslist,1), "
             "fputs(fid,strcat(varslist(i).name,'<|>',varslist(i).class,'<|>',num2str(varslist(i).size),"
             "'<|>',num2str(varslist(i).bytes),'<#>')); end, fclose (fid); end, "
             "disp('__varsnameready__'), end, GetVariables(whos);";
}

std::string CWorkspaceStatements::ValuesStatement(const std::string& valuesFile,
                                                  const std::vector<CInfoVariable>& variables)
{
    std::string names;
    for (const CInfoVariable& v : variables) {
        if (!v.HasStatistics())
            continue;
        std::string literal;
        if (!OctaveQuote(v.name, literal))
            continue;
        if (!names.empty())
            names += ',';
        names += literal;
    }
    // Every value is fetched with evalin('caller', name) inside the helper,
    // so the user's variables never enter the helper's own scope: a user
    // variable named fid, ans, x or like any local here keeps its value.
    static const char* const kStats[] = {"min", "max", "mean", "median", "mode", "var", "std"};
    std::string row = "fputs(kv_fid, [kv_names{kv_k}";
    for (const char* stat : kStats)
        row += std::string(", '<|>', num2str(") + stat + "(kv_v))";
    row += ", '<#>']);";
    return "function GetVariablesValues(kv_file, kv_names), kv_fid=fopen(kv_file, 'w'); "
           "if kv_fid >= 0, for kv_k=1:numel(kv_names), try, kv_v=evalin('caller', kv_names{kv_k}); "
           "kv_v=kv_v(:); "
           + row
           + " catch, end, end, fclose (kv_fid); end, disp('__varsvaluesready__'), end, "
             "GetVariablesValues("
           + OctaveQuoted(valuesFile) + ", {" + names + "});";
}

std::string CWorkspaceStatements::FormatSize(const std::string& size)
{
    std::string s = size;
    std::size_t at;
    while ((at = s.find("  ")) != std::string::npos)
        s.replace(at, 2, " ");
    for (char& c : s)
        if (c == ' ')
            c = 'x';
    return s;
}

int CWorkspaceStatements::KindOf(const std::string& className, const std::string& size)
{
    if (className == "struct")
        return CInfoVariable::Structure;
    if (className == "double" || className == "single" || StartsWith(className, "int")
        || StartsWith(className, "uint")) {
        const std::size_t first = size.find('x');
        if (first != std::string::npos && size.find('x', first + 1) != std::string::npos)
            return CInfoVariable::NumericArray;
        return CInfoVariable::NumericMatrix;
    }
    return CInfoVariable::Other;
}

std::vector<CInfoVariable> CWorkspaceStatements::ParseNames(const std::string& text)
{
    std::vector<CInfoVariable> variables;
    for (const std::string& record : Split(text, "<#>", false)) {
        if (record.empty())
            continue;
        const std::vector<std::string> fields = Split(record, "<|>", true);
        if (fields.size() < 4 || fields[0].empty())
            continue;
        CInfoVariable v;
        v.name = fields[0];
        v.className = fields[1];
        v.size = FormatSize(fields[2]);
        v.kind = KindOf(v.className, v.size);
        v.bytes = fields[3];
        variables.push_back(std::move(v));
    }
    return variables;
}

void CWorkspaceStatements::ApplyValues(const std::string& text, std::vector<CInfoVariable>& variables)
{
    std::unordered_map<std::string, std::vector<std::size_t>> index;
    for (std::size_t i = 0; i < variables.size(); ++i)
        index[variables[i].name].push_back(i);
    for (const std::string& record : Split(text, "<#>", false)) {
        std::vector<std::string> fields = Split(record, "<|>", true);
        if (fields.empty() || fields[0].empty())
            continue;
        fields.resize(8);
        const auto found = index.find(fields[0]);
        if (found == index.end())
            continue;
        for (std::size_t i : found->second) {
            CInfoVariable& v = variables[i];
            v.min = fields[1];
            v.max = fields[2];
            v.mean = fields[3];
            v.median = fields[4];
            v.mode = fields[5];
            v.var = fields[6];
            v.std = fields[7];
        }
    }
}

bool CWorkspaceStatements::ReadAnswerFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.clear();
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        text += line;
    }
    return true;
}
