#include "common/cprompttext.h"

#include <cstring>

std::size_t CPromptText::LengthAt(const std::string& text, std::size_t at)
{
    for (const char* prompt : {kGui, kDebug}) {
        const std::size_t length = std::strlen(prompt);
        if (at <= text.size() && text.compare(at, length, prompt) == 0)
            return length;
    }
    return 0;
}

std::size_t CPromptText::LengthAtEnd(const std::string& text)
{
    for (const char* prompt : {kGui, kDebug}) {
        const std::size_t length = std::strlen(prompt);
        if (text.size() >= length && text.compare(text.size() - length, length, prompt) == 0)
            return length;
    }
    return 0;
}
