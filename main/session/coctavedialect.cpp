#include "main/session/coctavedialect.h"

#include <algorithm>

#include "main/session/cstartupversion.h"

int COctaveDialect::ParseVersion(const std::string& banner)
{
    // The start-up's version check and the dialect read the banner alike.
    return std::max(0, CStartupVersion::Parse(banner));
}

std::string COctaveDialect::PackageDescribeStatement() const
{
    // Octave 4.4 and later read "all" as a package name.
    return IsModern() ? "pkg describe;###" : "pkg describe all;###";
}
