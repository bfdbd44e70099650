#pragma once

#include <cstddef>
#include <string>

// How many of its own prompts the interpreter gives for a request written to
// it line by line. It answers every line it reads with one prompt: its own
// ("octave:N> ", "debug> ") when the line completes a statement at the top
// level, a continuation prompt ("> ") while a block (if/for/while/function
// ... end), a bracket, a "..." continuation or a block comment is still open.
//
// Only the lexical rules that decide this are followed: strings and the
// transpose, comments and block comments, brackets, "..." and the block
// keywords at the start of a statement. A line the interpreter cannot parse
// ends what was open (it answers with an error and its own prompt); the
// session notices such errors itself.
class CPromptCount {
public:
    // text: the request as written, without its final line end.
    static CPromptCount Of(const std::string& text);

    // Lines that leave the interpreter at its top level.
    int prompts = 0;
    // The last line leaves nothing open: the last prompt is the
    // interpreter's own.
    bool finished = true;

private:
    // Reads one line; true when the interpreter is at its top level after it.
    bool Line(std::string line);
    void BlockComment(const std::string& trimmed);
    // Skips the string that starts at i; false when the line ends inside it.
    static bool SkipString(const std::string& line, std::size_t& i);
    // A name; true when a statement may start right behind it.
    bool Word(const std::string& word);
    bool AtTop() const { return m_blocks == 0 && m_brackets == 0 && m_comments == 0 && !m_continued; }
    void Restart();

    // The interpreter's state between lines.
    int m_blocks = 0;
    int m_brackets = 0;
    int m_comments = 0;  // nested block comments
    bool m_continued = false;
    bool m_statementStart = true;
};
