#include "main/session/coctavedialect.h"

#include <cctype>
#include <cstdlib>
#include <vector>

int COctaveDialect::ParseVersion(const std::string& banner)
{
    const std::size_t at = banner.find("version");
    if (at == std::string::npos)
        return 0;
    std::size_t start = banner.find(' ', at);
    if (start == std::string::npos)
        return 0;
    ++start;
    std::size_t end = banner.find_first_of("\r\n", start);
    const std::string text = banner.substr(start, end == std::string::npos ? std::string::npos : end - start);

    std::vector<std::string> parts;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t dot = text.find('.', from);
        if (dot == std::string::npos)
            dot = text.size();
        if (dot > from)
            parts.push_back(text.substr(from, dot - from));
        from = dot + 1;
    }
    if (parts.size() != 3)
        return 0;
    int number[3];
    for (int i = 0; i < 3; ++i) {
        if (parts[i].empty() || !std::isdigit(static_cast<unsigned char>(parts[i][0])))
            return 0;
        number[i] = std::atoi(parts[i].c_str());
    }
    return 1000 * number[0] + 100 * number[1] + number[2];
}

std::string COctaveDialect::PackageDescribeStatement() const
{
    // Octave 4.4 and later read "all" as a package name.
    return IsModern() ? "pkg describe;###" : "pkg describe all;###";
}
