#include "main/session/cstartupversion.h"

#include <cstdlib>
#include <vector>

#include "common/splitlist.h"

namespace {
// Reads the leading decimal digits of a piece ("3rc1" reads 3).
int LeadingNumber(const std::string& piece)
{
    int value = 0;
    for (char c : piece) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > 100000)
            break;
    }
    return value;
}

bool VersionPieces(const std::string& text, std::vector<std::string>& pieces)
{
    const size_t at = text.find("version");
    if (at == std::string::npos)
        return false;
    size_t start = text.find(' ', at);
    if (start == std::string::npos)
        return false;
    ++start;
    size_t end = text.find('\n', start);
    if (end == std::string::npos)
        end = text.size();
    std::string line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    SplitList(line, ".", pieces, false);
    return pieces.size() == 3;
}
}  // namespace

int CStartupVersion::Parse(const std::string& windowText)
{
    std::vector<std::string> pieces;
    if (!VersionPieces(windowText, pieces))
        return -1;
    return 1000 * LeadingNumber(pieces[0]) + 100 * LeadingNumber(pieces[1]) +
           LeadingNumber(pieces[2]);
}

bool CStartupVersion::IsAccepted(const std::string& windowText)
{
    return Parse(windowText) >= kMinimum;
}

int CStartupVersion::Major(const std::string& windowText)
{
    std::vector<std::string> pieces;
    if (!VersionPieces(windowText, pieces))
        return 0;
    return LeadingNumber(pieces[0]);
}

const char* CStartupVersion::RefusalMessage()
{
    return "Kestrune requires Octave version 3.6.1 or higher.\nYou can select your Octave "
           "executable in\nFile -> Options -> GNU Octave Path";
}
