#pragma once

#include <string>

// The version check of the interpreter's banner: the text behind the first
// "version " up to the end of that line must be three dotted numbers giving
// at least 3.6.1.
class CStartupVersion {
public:
    // 1000 * major + 100 * minor + patch, or -1 when the banner names no
    // version of three parts.
    static int Parse(const std::string& windowText);
    static bool IsAccepted(const std::string& windowText);
    // The major and minor number, for choosing statement dialects (0 when
    // unreadable).
    static int Major(const std::string& windowText);

    static constexpr int kMinimum = 3601;
    static const char* RefusalMessage();
};
