#pragma once

#include <string>

// The prompts the command window shows: the interpreter's own prompts are
// rewritten to these.
class CPromptText {
public:
    static constexpr const char* kGui = ">> ";
    static constexpr const char* kDebug = "debug> ";

    // Length of the prompt that starts at at in text (0: none).
    static std::size_t LengthAt(const std::string& text, std::size_t at);
    // Length of the prompt text ends with (0: none).
    static std::size_t LengthAtEnd(const std::string& text);
};
