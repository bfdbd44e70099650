#pragma once

#include <string>

// Puts any text into an Octave single-quoted string literal: the result is
// "'" + text with every "'" doubled + "'". A text holding a line break (CR or
// LF) or a NUL byte cannot be sent safely on one statement line: the call
// returns false, sets error and leaves literal unchanged.
bool OctaveQuote(const std::string& text, std::string& literal, std::string* error = nullptr);

// Convenience for callers that already checked the text: the quoted literal,
// or an empty string when the text is refused.
std::string OctaveQuoted(const std::string& text);

// The statement that runs the script file at path: "run('<path>')", or
// "source('<path>')" when the file name holds "'": the interpreter's run()
// puts the bare file name into a statement of its own without doubling its
// quotes and fails on it. Empty when the path cannot be quoted.
std::string OctaveRunFile(const std::string& path);
