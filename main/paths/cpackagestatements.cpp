#include "main/paths/cpackagestatements.h"

#include <algorithm>
#include <cctype>

#include "platform/octavequote.h"

bool CPackageStatements::GlobalInstallAllowed(const std::string& probeAnswer)
{
    const std::size_t first = probeAnswer.find_first_not_of(" \t\r\n");
    return first != std::string::npos && probeAnswer[first] == '1';
}

std::string CPackageStatements::Install(const std::string& file, bool global)
{
    std::string literal;
    if (file.empty() || !OctaveQuote(file, literal))
        return std::string();
    return "pkg install " + literal + (global ? " -global" : " -local") + " -verbose;";
}

std::string CPackageStatements::Action(const char* action, const std::string& name)
{
    const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '_' || c == '-' || c == '.' || c == '+';
    });
    if (plain)
        return std::string("pkg ") + action + " " + name;
    std::string literal;
    if (!OctaveQuote(name, literal))
        return std::string();
    return std::string("pkg('") + action + "', " + literal + ");";
}
