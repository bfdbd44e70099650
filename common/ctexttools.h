#pragma once

#include <string>

// Small text operations every part of the program needs on UTF-8 bytes.
class CTextTools {
public:
    // Without leading and trailing blanks and tabs.
    static std::string Trim(const std::string& text);
    static bool StartsWith(const std::string& text, const std::string& prefix);
    static bool EndsWith(const std::string& text, const std::string& suffix);
    // Every occurrence of what (not empty), left to right, never rescanning
    // what was put in.
    static void ReplaceAll(std::string& text, const std::string& what, const std::string& with);
};
