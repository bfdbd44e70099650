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
