#pragma once

#include <ctime>
#include <string>
#include <string_view>

class CFilePartition;

// The HTML page of a comparison. The comparison view of the main program
// splits it at "href=" and reads each header name up to "&nbsp;", so the
// header keeps that shape.
class CDiffReport {
public:
    // time1 and time2 are inserted as given (see FormatLongTime). The links
    // point at link1 and link2 (absolute paths; empty: the names as shown).
    static std::string Build(const CFilePartition& left, const CFilePartition& right,
                             const std::string& time1, const std::string& time2,
                             const std::string& link1 = std::string(),
                             const std::string& link2 = std::string());

    // The number of differences the summary reports.
    static int CountDifferences(const CFilePartition& left, const CFilePartition& right);

    // A line text as a table cell: leading blanks made visible, markup escaped.
    static void AppendEscapedLine(std::string& out, std::string_view text);
    // A name as element text.
    static std::string EscapeText(const std::string& text);
    // A name as the value of a quoted href: the bytes a URL parser would take
    // apart ("%", "#", "?", "\", controls) percent-encoded, then the markup
    // characters escaped. HTML-decoding and then percent-decoding gives the
    // name back.
    static std::string EscapeHref(const std::string& text);

    // The reverse for a reader of the page: the text after "href=" up to
    // "&nbsp;", as it stands in the file, back to the name.
    static std::string DecodeHref(std::string_view raw);

    // Long local date and time in English, "Tuesday, March 14, 1995 12:41:29".
    static std::string FormatLongTime(time_t time);
};
