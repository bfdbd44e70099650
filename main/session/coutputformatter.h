#pragma once

#include <string>
#include <vector>

#include "main/session/coctavedialect.h"
#include "main/session/isessionpanes.h"

// The text rules of the command window: prompt rewriting, clean-up, the
// repeated-prompt rule and the marked ranges of what is written.
class COutputFormatter {
public:
    // Every interpreter prompt ("octave:12> ", "octave.exe:3> ") becomes ">> ".
    static void RewritePrompts(std::string& s);

    // Length of the end of text that may be the start of a prompt or a marker
    // line cut by a chunk boundary; the dispatcher keeps it for the next chunk.
    static std::size_t IncompleteTail(const std::string& text);

    // Length of the end of text that is a UTF-8 letter cut by a chunk
    // boundary (its first one to three bytes); shown alone, each half would
    // become a replacement sign.
    static std::size_t IncompleteLetter(const std::string& text);

    // Carriage returns removed, doubled prompts folded; the caret line the
    // interpreter writes under a parse error keeps pointing at its character.
    static void CleanUp(std::string& s);

    // When s ends with ">> " but not "\n>> ", put each prompt on a line of
    // its own (no line feed is added at the very start when the window
    // already ends with one).
    static void PromptsToLineStart(std::string& s, bool windowEndsWithNewline);

    // s holds nothing but a prompt the window already ends with.
    static bool IsRepeatedPrompt(const std::string& windowTail, const std::string& s);

    // The ranges to mark in s: error colour and error-location links when
    // errorSeen, "See also" links, and the bold prompt line (when s ends
    // with a prompt).
    // errorContinues: the message began in text written before s, so s is
    // red from its start; otherwise red starts at the line of the first
    // "error: " in s (output in front of the message keeps its colour).
    static std::vector<CTextSpan> Spans(const std::string& s, bool errorSeen, const COctaveDialect& dialect,
                                        bool errorContinues = true);

    static bool EndsWith(const std::string& text, const char* suffix);
    static bool EndsWithPrompt(const std::string& text);
    // End of the first prompt as the interpreter writes it ("octave:N> ",
    // "debug> ") at or after from; npos when there is none.
    static std::size_t PromptEnd(const std::string& text, std::size_t from);
    static void ReplaceAll(std::string& text, const std::string& what, const std::string& with);
};
