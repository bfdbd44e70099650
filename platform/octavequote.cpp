#include "platform/octavequote.h"

bool OctaveQuote(const std::string& text, std::string& literal, std::string* error)
{
    // The interpreter reads one statement per line: a line break would end
    // the literal early and run the rest as code; a NUL byte cuts the line.
    if (text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
        if (error)
            *error = "The text holds a line break or a NUL byte and cannot be passed to Octave.";
        return false;
    }
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    for (char c : text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    quoted += '\'';
    literal = std::move(quoted);
    return true;
}

std::string OctaveQuoted(const std::string& text)
{
    std::string literal;
    OctaveQuote(text, literal);
    return literal;
}

std::string OctaveRunFile(const std::string& path)
{
    std::string literal;
    if (!OctaveQuote(path, literal))
        return std::string();
    const std::size_t slash = path.rfind('/');
    const bool quotedName = path.find('\'', slash == std::string::npos ? 0 : slash + 1) != std::string::npos;
    return (quotedName ? "source(" : "run(") + literal + ")";
}
