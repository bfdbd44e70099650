#include "main/session/cworkspacestatements.h"

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
    // One fprintf for the whole list: num2str and strcat per variable cost
    // over a second for a thousand variables. The sizes are written "2x3".
    // A file that cannot be written still ends in the marker, so the
    // dispatcher reads "no variables" instead of waiting for ever.
    return "function GetVariables(varslist), fid=fopen(" + OctaveQuoted(namesFile)
           + ", 'w'); if fid >= 0, if numel(varslist) > 0, "
             "sizes=cellfun(@(s) sprintf('%dx', s)(1:end-1), {varslist.size}, 'UniformOutput', false); "
             "fields=[{varslist.name}; {varslist.class}; sizes; {varslist.bytes}]; "
             "fprintf(fid, '%s<|>%s<|>%s<|>%d<#>', fields{:}); end, fclose (fid); end, "
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
    //
    // Real full arrays without NaN take a fast path from one sort (median,
    // mode and var are slow scripts); the numbers are printed as num2str
    // prints a scalar (integers whole, others with at least 5 significant
    // digits). Complex, sparse and NaN-holding arrays use the functions.
    return "function GetVariablesValues(kv_file, kv_names), kv_fid=fopen(kv_file, 'w'); "
           "if kv_fid >= 0, for kv_k=1:numel(kv_names), try, "
           "kv_v=evalin('caller', kv_names{kv_k}); "
           "if isreal(kv_v) && ~issparse(kv_v) && ~any(isnan(kv_v(:))), "
           "kv_x=sort(double(kv_v(:))); kv_n=numel(kv_x); "
           "if kv_n == 0, fputs(kv_fid, [kv_names{kv_k}, '<|><|><|><|><|><|><|><#>']); continue; end, "
           "kv_m=sum(kv_x)/kv_n; kv_h=floor((kv_n+1)/2); kv_med=(kv_x(kv_h)+kv_x(kv_n-kv_h+1))/2; "
           "kv_r=find([true; kv_x(2:end) ~= kv_x(1:end-1)]); [kv_c, kv_j]=max(diff([kv_r; kv_n+1])); "
           "kv_var=0; if kv_n > 1, kv_var=sum(abs(kv_x-kv_m).^2)/(kv_n-1); end, "
           "kv_s=[kv_x(1), kv_x(end), kv_m, kv_med, kv_x(kv_r(kv_j)), kv_var, sqrt(kv_var)]; "
           "kv_p=17*ones(1,7); kv_f=(kv_s ~= fix(kv_s)) & isfinite(kv_s); "
           "kv_p(kv_f)=min(max(floor(log10(abs(kv_s(kv_f))))+5, 5), 16); "
           "fputs(kv_fid, [kv_names{kv_k}, sprintf('<|>%.*g', [kv_p; kv_s]), '<#>']); "
           "else, kv_v=kv_v(:); "
           "fputs(kv_fid, [kv_names{kv_k}, '<|>', num2str(min(kv_v)), '<|>', num2str(max(kv_v)), "
           "'<|>', num2str(mean(kv_v)), '<|>', num2str(median(kv_v)), '<|>', num2str(mode(kv_v)), "
           "'<|>', num2str(var(kv_v)), '<|>', num2str(std(kv_v)), '<#>']); end, "
           "catch, end, end, fclose (kv_fid); end, disp('__varsvaluesready__'), end, "
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
