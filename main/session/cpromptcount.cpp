#include "main/session/cpromptcount.h"

#include <algorithm>

#include "common/ctexttools.h"

namespace {

const char* const kOpeners[] = {"if",  "for",      "parfor",   "while", "switch", "try",
                                "do",  "function", "classdef", "spmd",  "unwind_protect"};
const char* const kClosers[] = {"end",         "endif",         "endfor",     "endparfor",    "endwhile",
                                "endswitch",   "end_try_catch", "until",      "endfunction",  "endclassdef",
                                "endspmd",     "end_unwind_protect"};

// Words a statement may follow on the same line without a separator.
const char* const kStatementBefore[] = {"else", "otherwise", "try", "do", "unwind_protect", "unwind_protect_cleanup"};

template <std::size_t N>
bool IsOneOf(const std::string& word, const char* const (&words)[N])
{
    return std::any_of(words, words + N, [&](const char* w) { return word == w; });
}

bool IsNameChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// A quote right behind one of these (no blank between) transposes; anywhere
// else it starts a string ("disp 'x'", "case 'a'", "[a 'x']").
bool TransposesAfter(char c)
{
    return IsNameChar(c) || c == ')' || c == ']' || c == '}' || c == '.' || c == '\'' || c == '"';
}

}  // namespace

void CPromptCount::BlockComment(const std::string& trimmed)
{
    if (trimmed == "%{" || trimmed == "#{")
        ++m_comments;
    else if (trimmed == "%}" || trimmed == "#}")
        --m_comments;
}

bool CPromptCount::SkipString(const std::string& line, std::size_t& i)
{
    const char quote = line[i];
    for (++i; i < line.size(); ++i) {
        if (quote == '"' && line[i] == '\\') {
            ++i;
        } else if (line[i] == quote) {
            if (i + 1 < line.size() && line[i + 1] == quote)
                ++i;  // a doubled quote stands for one
            else
                return true;
        }
    }
    return false;
}

bool CPromptCount::Word(const std::string& word)
{
    if (!m_statementStart || m_brackets > 0)
        return false;
    if (IsOneOf(word, kOpeners))
        ++m_blocks;
    else if (IsOneOf(word, kClosers))
        m_blocks = std::max(0, m_blocks - 1);
    // "else if x" opens a block of its own; "try x = 1" needs no comma.
    return IsOneOf(word, kStatementBefore);
}

bool CPromptCount::Line(std::string line)
{
    std::replace(line.begin(), line.end(), '\r', ' ');
    const std::string trimmed = CTextTools::Trim(line);
    if (m_comments > 0 || trimmed == "%{" || trimmed == "#{") {
        BlockComment(trimmed);
        return AtTop();
    }
    m_statementStart = m_statementStart || (!m_continued && m_brackets == 0);
    m_continued = false;
    char previous = ' ';
    bool blank = true;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            blank = true;
            continue;
        }
        if (c == '%' || c == '#')
            break;
        if (line.compare(i, 3, "...") == 0) {
            m_continued = true;
            break;
        }
        const bool transpose = c == '\'' && !blank && TransposesAfter(previous);
        if ((c == '\'' && !transpose) || c == '"') {
            if (!SkipString(line, i)) {
                // The interpreter refuses the whole statement and starts afresh.
                Restart();
                return true;
            }
        } else if (IsNameChar(c) && !(c >= '0' && c <= '9')) {
            const std::size_t from = i;
            while (i + 1 < line.size() && IsNameChar(line[i + 1]))
                ++i;
            m_statementStart = Word(line.substr(from, i + 1 - from));
            previous = line[i];
            blank = false;
            continue;
        } else if (c == '(' || c == '[' || c == '{') {
            ++m_brackets;
        } else if (c == ')' || c == ']' || c == '}') {
            m_brackets = std::max(0, m_brackets - 1);
        }
        m_statementStart = (c == ',' || c == ';') && m_brackets == 0;
        previous = line[i];
        blank = false;
    }
    return AtTop();
}

void CPromptCount::Restart()
{
    m_blocks = 0;
    m_brackets = 0;
    m_comments = 0;
    m_continued = false;
    m_statementStart = true;
}

CPromptCount CPromptCount::Of(const std::string& text)
{
    CPromptCount count;
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = text.find('\n', from);
        count.finished = count.Line(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
        if (count.finished)
            ++count.prompts;
        if (end == std::string::npos)
            return count;
        from = end + 1;
    }
}
