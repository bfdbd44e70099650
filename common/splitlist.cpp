#include "common/splitlist.h"

void SplitList(const std::string& text, const std::string& separator,
               std::vector<std::string>& out, bool keepEmpty)
{
    const std::string sep = separator.empty() ? std::string(",") : separator;
    size_t start = 0;
    for (;;) {
        const size_t hit = text.find(sep, start);
        if (hit == std::string::npos)
            break;
        if (hit > start || keepEmpty)
            out.push_back(text.substr(start, hit - start));
        start = hit + sep.size();
    }
    if (start < text.size())
        out.push_back(text.substr(start));
}
