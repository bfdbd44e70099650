#pragma once

#include <string>

// What changed in the interpreter's language between the versions we talk
// to: the statement forms we send and the way we read its answers. Chosen
// once from the banner's "GNU Octave, version X.Y.Z".
class COctaveDialect {
public:
    // 1000*major + 100*minor + patch read from the "version" line of the
    // banner by CStartupVersion::Parse; 0 when unreadable.
    static int ParseVersion(const std::string& banner);

    explicit COctaveDialect(int version = 0) : m_version(version) {}
    int Version() const { return m_version; }
    // Octave 4.4 and later (the 3.6 forms are kept for older interpreters).
    bool IsModern() const { return m_version == 0 || m_version >= 4400; }

    // The package-list statement sent for the "pkg describe all;###" request.
    std::string PackageDescribeStatement() const;

private:
    int m_version;
};
