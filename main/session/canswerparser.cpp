#include "main/session/canswerparser.h"

#include "common/cprompttext.h"
#include "common/ctexttools.h"
#include "common/splitlist.h"

std::vector<std::string> CAnswerParser::Lines(const std::string& answer)
{
    std::vector<std::string> pieces;
    SplitList(answer, "\n", pieces, false);
    return pieces;
}

std::vector<std::string> CAnswerParser::PathList(const std::string& answer)
{
    const std::vector<std::string> pieces = Lines(answer);
    std::vector<std::string> folders;
    for (std::size_t i = 1; i + 1 < pieces.size(); ++i) {
        const std::string folder = CTextTools::Trim(pieces[i]);
        if (folder.empty() || folder == ".")
            continue;
        folders.push_back(folder);
    }
    return folders;
}

std::vector<CPackageRow> CAnswerParser::PackageList(const std::string& answer, const COctaveDialect& dialect)
{
    std::vector<CPackageRow> rows;
    std::vector<std::string> packages;
    SplitList(answer, "---", packages, false);

    if (dialect.IsModern()) {
        // Values stand under their labels, tab-indented; an empty value
        // ("Depended on by:") shifts every fixed position, so read by label.
        static const char* const kLabels[4] = {"Package name:", "Version:", "Short description:", "Status:"};
        for (const std::string& piece : packages) {
            std::vector<std::string> lines;
            SplitList(piece, "\n", lines, false);
            CPackageRow row;
            bool named = false;
            int current = -1;
            bool labelSeen = false;
            for (const std::string& raw : lines) {
                std::string line = raw;
                CTextTools::ReplaceAll(line, "\r", "");
                const bool indented = !line.empty() && (line[0] == '\t' || line[0] == ' ');
                if (!indented) {
                    current = -1;
                    labelSeen = line.size() > 1 && line.back() == ':';
                    for (int c = 0; c < 4; ++c)
                        if (line == kLabels[c])
                            current = c;
                    continue;
                }
                if (!labelSeen || current < 0)
                    continue;
                const std::string value = CTextTools::Trim(line);
                if (value.empty())
                    continue;
                std::string& cell = row[static_cast<std::size_t>(current)];
                cell += cell.empty() ? value : " " + value;
                if (current == 0)
                    named = true;
            }
            if (named)
                rows.push_back(row);
        }
    } else if (packages.size() > 1) {
        for (const std::string& piece : packages) {
            std::string text = piece;
            CTextTools::ReplaceAll(text, "\t", "");
            CTextTools::ReplaceAll(text, "\r", "");
            std::vector<std::string> lines;
            SplitList(text, "\n", lines, false);
            CPackageRow row;
            bool any = false;
            for (std::size_t c = 0; c < 4; ++c) {
                const std::size_t at = 2 + 2 * c;
                if (at >= lines.size())
                    break;
                row[c] = lines[at];
                any = true;
            }
            if (any)
                rows.push_back(row);
        }
    }
    if (rows.empty())
        rows.push_back(CPackageRow{"", "", "No packages installed.", ""});
    return rows;
}

std::string CAnswerParser::HtmlEscaped(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else
            escaped += c;
    }
    return escaped;
}

bool CAnswerParser::DebugStop(const std::string& answer, const COctaveDialect& dialect, std::string& file,
                              std::string& line)
{
    static const std::string kStopped = "stopped in ";
    const std::size_t at = answer.rfind(kStopped);
    if (at == std::string::npos)
        return false;
    const std::size_t from = at + kStopped.size();
    const std::size_t end = answer.find('\n', from);
    std::string text = answer.substr(from, end == std::string::npos ? std::string::npos : end - from);

    if (dialect.IsModern()) {
        // "f at line 2 [/tmp/w/f.m]": the file stands in the brackets.
        const std::size_t open = text.rfind(" [");
        const std::size_t close = text.rfind(']');
        const std::size_t atLine = text.find(" at line ");
        if (open == std::string::npos || close == std::string::npos || close < open || atLine == std::string::npos)
            return false;
        file = text.substr(open + 2, close - open - 2);
        const std::size_t number = atLine + 9;
        std::size_t digits = number;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
            ++digits;
        line = text.substr(number, digits - number);
        return !file.empty() && !line.empty();
    }

    CTextTools::ReplaceAll(text, " at line ", "##");
    std::vector<std::string> parts;
    SplitList(text, "##", parts, false);
    if (parts.size() != 2)
        return false;
    file = parts[0];
    line = parts[1];
    if (file.rfind("/cygdrive/", 0) == 0 && file.size() > 10) {
        file = file.substr(10);
        file.insert(1, ":");
    }
    return true;
}

std::string CAnswerParser::ValueText(const std::string& answer)
{
    std::string text = answer;
    // The prompt on the last line ("debug> ", "[1]debug> ", ">> ") is no value.
    const std::size_t promptLength = CPromptText::LengthAtEnd(text);
    if (promptLength > 0) {
        const std::size_t feed = text.rfind('\n', text.size() - promptLength);
        text.resize(feed == std::string::npos ? 0 : feed);
    }
    // The value goes into an HTML tooltip: its own text is escaped, and only
    // the name in front of the first '=' is made bold.
    const std::size_t equals = text.find('=');
    const std::size_t lineEnd = text.find('\n');
    const bool named = equals != std::string::npos && equals > 0 && equals < lineEnd;
    const std::string name = named ? HtmlEscaped(text.substr(0, equals)) : std::string();
    const std::string rest = HtmlEscaped(named ? text.substr(equals) : text);
    return named ? "<b>" + name + "</b>" + rest : rest;
}

std::vector<std::string> CAnswerParser::SeeAlsoNames(const std::string& text, std::size_t* startOfList)
{
    static const std::string kSeeAlso = "See also: ";
    std::vector<std::string> names;
    const std::size_t at = text.find(kSeeAlso);
    if (at == std::string::npos)
        return names;
    const std::size_t from = at + kSeeAlso.size();
    const std::size_t end = text.find("Additional", from);
    std::string list = text.substr(from, end == std::string::npos ? std::string::npos : end - from);
    std::string squeezed;
    for (char c : list)
        if (c != '\n' && c != ' ')
            squeezed += c;
    std::vector<std::string> pieces;
    SplitList(squeezed, ",", pieces, false);
    for (std::string& name : pieces) {
        while (!name.empty() && name.back() == '.')
            name.pop_back();
        if (!name.empty())
            names.push_back(name);
    }
    if (startOfList)
        *startOfList = at;
    return names;
}
