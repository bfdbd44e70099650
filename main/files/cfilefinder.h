#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// Searches a folder (optionally with its sub-folders, never through linked
// folders) for files whose names match a wildcard mask ("*" and "?"; every
// other character stands for itself) and, when a text is
// given, that hold the text on a line, compared without regard to case.
// Files holding NUL bytes are taken for binary and not searched for text;
// a reported line is cut at kMaxLineText characters.
//
// THREADING: Search runs on the calling thread (a worker); Stop may be
// called from any thread.
class CFileFinder {
public:
    struct Options {
        QString folder;
        QString mask = QStringLiteral("*");
        bool subFolders = false;
        QString text;  // empty: names only
    };
    struct LineHit {
        int line = 0;
        QString text;
    };
    // An accepted file: its folder, its name and, with a text, its matching lines.
    using Report = std::function<void(const QString& folder, const QString& name, const std::vector<LineHit>& lines)>;
    // The number of files looked at so far.
    using Progress = std::function<void(int files)>;

    static constexpr int kMaxLineText = 512;

    // Returns the number of files looked at; stops early after Stop().
    int Search(const Options& options, const Report& report, const Progress& progress = Progress());
    void Stop() { m_stop.store(true); }
    bool Stopped() const { return m_stop.load(); }

    // The lines of content that hold needle (given in lower case), one hit
    // per line. False when content holds a NUL byte (binary).
    static bool FindLines(const std::string& content, const std::string& lowerNeedle, std::vector<LineHit>& hits);

private:
    bool TestFile(const std::string& path, std::vector<LineHit>& hits);

    std::atomic<bool> m_stop{false};
    std::string m_needle;
    bool m_asciiNeedle = true;
    std::string m_content;
};
