#include "main/session/coutputformatter.h"

#include <algorithm>
#include <cstring>

#include "common/cprompttext.h"
#include "main/session/canswerparser.h"
#include "common/ctexttools.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of a prompt "octave:N> " or "octave.exe:N> " starting at text[at],
// or 0.
std::size_t PromptAt(const std::string& text, std::size_t at)
{
    std::size_t i = at + 6;  // "octave"
    if (text.compare(at, 6, "octave") != 0)
        return 0;
    if (text.compare(i, 4, ".exe") == 0)
        i += 4;
    if (i >= text.size() || text[i] != ':')
        return 0;
    ++i;
    const std::size_t digits = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    if (i == digits || text.compare(i, 2, "> ") != 0)
        return 0;
    return i + 2 - at;
}

// The line text (from its start) could still grow into a prompt.
bool IsPromptPrefix(const std::string& line)
{
    for (const std::string base : {"octave:", "octave.exe:"}) {
        if (line.size() <= base.size()) {
            if (base.compare(0, line.size(), line) == 0)
                return true;
            continue;
        }
        if (line.compare(0, base.size(), base) != 0)
            continue;
        std::size_t i = base.size();
        while (i < line.size() && IsDigit(line[i]))
            ++i;
        if (i == line.size() || (line[i] == '>' && i + 1 == line.size()))
            return true;
    }
    return false;
}

const char* const kMarkers[] = {"__varsnameready__", "__varsvaluesready__", "__FunctioProfilingEnd__",
                                "__ProfilingFileReady__", "stopped in ", "error: ", "parse error:"};

const std::pair<const char*, const char*> kFolds[] = {
    {">>> ", ">> "},           {">> >> ", ">> "},          {">>  ", ">> "},
    {"\ndebug> \ndebug> ", "debug> "}, {"debug> debug> ", "debug> "}, {"debug> >> ", "debug> \n>> "},
    {"debug>> ", "debug> "}};

void FoldPrompts(std::string& s)
{
    bool changed = true;
    while (changed) {
        changed = false;
        for (const auto& fold : kFolds) {
            if (s.find(fold.first) != std::string::npos) {
                CTextTools::ReplaceAll(s, fold.first, fold.second);
                changed = true;
            }
        }
    }
}

// The interpreter points at a parse error with a line of spaces and a caret
// under the statement it echoes. When the prompt fold shortens the echoed
// line, the caret line loses as many leading spaces, so that the caret still
// points at the same character.
void KeepCaretsInPlace(std::string& s)
{
    std::string out;
    out.reserve(s.size());
    std::size_t shift = 0;
    for (std::size_t from = 0; from < s.size();) {
        std::size_t end = s.find('\n', from);
        end = end == std::string::npos ? s.size() : end;
        const std::size_t caret = s.find_first_not_of(' ', from);
        std::size_t keep = from;
        if (shift > 0 && caret < end && caret > from && s[caret] == '^')
            keep = from + std::min(shift, caret - from);
        out.append(s, keep, end - keep);
        if (end < s.size())
            out += '\n';
        // What the fold takes from this line, measured on the part of it
        // that stays on the last line the fold leaves.
        std::string folded = s.substr(from, end - from);
        const std::size_t before = folded.size();
        FoldPrompts(folded);
        const std::size_t feed = folded.rfind('\n');
        const std::size_t after = feed == std::string::npos ? folded.size() : folded.size() - feed - 1;
        shift = before > after ? before - after : 0;
        from = end + 1;
    }
    s.swap(out);
}

}  // namespace

bool COutputFormatter::EndsWith(const std::string& text, const char* suffix)
{
    return CTextTools::EndsWith(text, suffix);
}

bool COutputFormatter::EndsWithPrompt(const std::string& text)
{
    return CPromptText::LengthAtEnd(text) > 0;
}

std::size_t COutputFormatter::PromptEnd(const std::string& text, std::size_t from)
{
    const std::size_t debug = text.find("debug> ", from);
    std::size_t end = debug == std::string::npos ? std::string::npos : debug + 7;
    for (std::size_t at = text.find("octave", from); at != std::string::npos && at < end;
         at = text.find("octave", at + 1)) {
        if (const std::size_t length = PromptAt(text, at))
            return at + length;
    }
    return end;
}

void COutputFormatter::ReplaceAll(std::string& text, const std::string& what, const std::string& with)
{
    CTextTools::ReplaceAll(text, what, with);
}

void COutputFormatter::RewritePrompts(std::string& s)
{
    std::size_t at = s.find("octave");
    if (at == std::string::npos)
        return;
    std::string out;
    out.reserve(s.size());
    std::size_t from = 0;
    while (at != std::string::npos) {
        const std::size_t length = PromptAt(s, at);
        if (length) {
            out.append(s, from, at - from);
            out += CPromptText::kGui;
            from = at + length;
            at = s.find("octave", from);
        } else {
            at = s.find("octave", at + 1);
        }
    }
    out.append(s, from, std::string::npos);
    s.swap(out);
}

std::size_t COutputFormatter::IncompleteTail(const std::string& text)
{
    const std::size_t newline = text.rfind('\n');
    std::size_t start = newline == std::string::npos ? 0 : newline + 1;
    // The interpreter writes the next answer right behind its prompt: a line
    // starts there too.
    for (std::size_t end; (end = PromptEnd(text, start)) < text.size();)
        start = end;
    const std::string line = text.substr(start);
    if (line.empty() || line.size() > 32)
        return 0;
    if (IsPromptPrefix(line))
        return line.size();
    for (const char* marker : kMarkers) {
        const std::size_t n = std::strlen(marker);
        if (line.size() <= n && std::strncmp(marker, line.c_str(), line.size()) == 0)
            return line.size();
    }
    // A marker line printed without its line feed yet.
    for (const char* marker : kMarkers)
        if (line == marker)
            return line.size();
    return 0;
}

std::size_t COutputFormatter::IncompleteLetter(const std::string& text)
{
    const std::size_t size = text.size();
    std::size_t back = 0;
    while (back < 3 && back < size && (static_cast<unsigned char>(text[size - 1 - back]) & 0xC0) == 0x80)
        ++back;
    if (back == size)
        return 0;
    const unsigned char lead = static_cast<unsigned char>(text[size - 1 - back]);
    if (lead < 0xC0 || lead >= 0xF8)
        return 0;
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    return back + 1 < length ? back + 1 : 0;
}

void COutputFormatter::CleanUp(std::string& s)
{
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    if (s.find('^') != std::string::npos)
        KeepCaretsInPlace(s);
    FoldPrompts(s);
}

void COutputFormatter::PromptsToLineStart(std::string& s, bool windowEndsWithNewline)
{
    const std::string prompt = CPromptText::kGui;
    if (!EndsWith(s, CPromptText::kGui) || EndsWith(s, ("\n" + prompt).c_str()) || s.empty())
        return;
    std::string out;
    out.reserve(s.size() + 8);
    std::size_t from = 0;
    std::size_t at;
    while ((at = s.find(prompt, from)) != std::string::npos) {
        out.append(s, from, at - from);
        const bool lineStart = out.empty() ? windowEndsWithNewline : out.back() == '\n';
        if (!lineStart)
            out += '\n';
        out += prompt;
        from = at + prompt.size();
    }
    out.append(s, from, std::string::npos);
    s.swap(out);
}

bool COutputFormatter::IsRepeatedPrompt(const std::string& windowTail, const std::string& s)
{
    // Only a bare prompt is dropped: text in front of it is output that
    // must be shown even when the window already ends with a prompt.
    const std::size_t first = s.find_first_not_of('\n');
    if (first == std::string::npos)
        return false;
    const std::string bare = s.substr(first);
    for (const char* prompt : {CPromptText::kGui, CPromptText::kDebug, "> "})
        if (bare == prompt && EndsWith(windowTail, prompt))
            return true;
    return false;
}

std::vector<CTextSpan> COutputFormatter::Spans(const std::string& s, bool errorSeen, const COctaveDialect& dialect,
                                               bool errorContinues)
{
    std::vector<CTextSpan> spans;
    auto lineEnd = [&s](std::size_t from) {
        const std::size_t end = s.find('\n', from);
        return end == std::string::npos ? s.size() : end;
    };

    // The prompt line is where the user types: it is neither red nor part
    // of the message. Without a prompt the whole chunk is message (the
    // interpreter writes an error in several pieces).
    const bool endsWithPrompt = EndsWithPrompt(s) || EndsWith(s, "> ");
    const std::size_t lastFeed = s.rfind('\n');
    const std::size_t promptLine = lastFeed == std::string::npos ? 0 : lastFeed + 1;

    if (errorSeen && s.find("panic:") == std::string::npos) {
        const std::size_t redEnd = endsWithPrompt ? (lastFeed == std::string::npos ? 0 : lastFeed) : s.size();
        std::size_t redStart = 0;
        if (!errorContinues) {
            // The word may also have been cut by the previous chunk: then
            // there is no whole "error: " here and all of s is message.
            std::size_t first = std::min(s.find("error: "), s.find("parse error"));
            if (first != std::string::npos && first < redEnd) {
                const std::size_t feed = s.rfind('\n', first);
                redStart = feed == std::string::npos ? 0 : feed + 1;
            }
        }
        if (redEnd > redStart) {
            spans.push_back({redStart, redEnd - redStart, CTextSpan::Error});
            const std::string red = s.substr(0, redEnd);
            // "... near line 3 of file /a/f.m": the location names its file.
            std::size_t at = redStart;
            while ((at = red.find("line ", at)) != std::string::npos) {
                const std::size_t end = lineEnd(at);
                const std::size_t file = red.find(" file ", at);
                if (file != std::string::npos && file < end)
                    spans.push_back({at, std::min(end, red.size()) - at, CTextSpan::Link});
                at = end;
            }
            if (!dialect.IsModern()) {
                if (red.find("at line ") != std::string::npos) {
                    static const std::string kLocation = "error:   ";
                    at = redStart;
                    while ((at = red.find(kLocation, at)) != std::string::npos) {
                        const std::size_t from = at + kLocation.size();
                        const std::size_t end = std::min(lineEnd(from), red.size());
                        if (end > from)
                            spans.push_back({from, end - from, CTextSpan::Link});
                        at = end;
                    }
                }
            } else {
                // "    g at line 3 column 3" under "error: called from".
                std::size_t line = redStart;
                while (line < red.size()) {
                    const std::size_t end = std::min(lineEnd(line), red.size());
                    const std::size_t indent = red.find_first_not_of(' ', line);
                    if (indent != std::string::npos && indent >= line + 2 && indent < end) {
                        const std::string text = red.substr(indent, end - indent);
                        const std::size_t atLine = text.find(" at line ");
                        if (atLine != std::string::npos && atLine > 0 && text.find(' ') == atLine
                            && text.find(" column ", atLine) != std::string::npos)
                            spans.push_back({indent, end - indent, CTextSpan::Link});
                    }
                    line = end + 1;
                }
            }
        }
    }

    std::size_t listStart = 0;
    const std::vector<std::string> names = CAnswerParser::SeeAlsoNames(s, &listStart);
    for (const std::string& name : names) {
        const std::size_t at = s.find(name, listStart);
        if (at != std::string::npos)
            spans.push_back({at, name.size(), CTextSpan::Link});
    }

    if (endsWithPrompt && promptLine < s.size())
        spans.push_back({promptLine, s.size() - promptLine, CTextSpan::Bold});
    return spans;
}
