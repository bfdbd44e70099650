#pragma once

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
struct CPromptCount {
    // Lines that leave the interpreter at its top level.
    int prompts = 0;
    // The last line leaves nothing open: the last prompt is the
    // interpreter's own.
    bool finished = true;

    // text: the request as written, without its final line end.
    static CPromptCount Of(const std::string& text);
};
