#include "diff/linetext.h"

#include "diff/coptionlist.h"

std::string NormalizeLine(std::string_view text, const COptionList& options)
{
    if (options.IsEmpty())
        return std::string(text);
    std::string result(text);
    if (options.IsInForce("indent")) {
        const size_t first = result.find_first_not_of(" \t");
        if (first != std::string::npos)
            result.erase(0, first);
    }
    if (options.IsInForce("case")) {
        // ASCII only, so that UTF-8 sequences are never altered.
        for (char& c : result) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

int32_t LineHash(std::string_view text)
{
    uint32_t h = 0;
    for (const char c : text)
        h = h * 3u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
    return static_cast<int32_t>(h);
}
