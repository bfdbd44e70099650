#pragma once

#include <QString>

// What the comparison view reads back from a report of kestrune-diff: the
// number of differences and the two compared paths of its header.
class CDiffReportFacts {
public:
    // False when the file cannot be read or lacks the header links.
    bool Read(const QString& reportPath);
    // The same on the report's text.
    bool Parse(const QByteArray& report);

    int differences = 0;
    QString first;
    QString second;
};
