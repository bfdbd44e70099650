#include "main/profiler/cprofilereport.h"

#include <QString>
#include <QUrl>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "main/profiler/cprofileloader.h"

const char* const CProfileReport::kStyleSheetFile = "Kestrune.css";
const char* const CProfileReport::kReportFile = "Kestrune_Prof.html";

namespace {

const char* const kPageHead = "<html><head><title></title><meta http-equiv=\"Content-Type\" content=\"text/html\">"
                              "<link rel=\"stylesheet\" type=\"text/css\" href=\"Kestrune.css\">";

std::string Escaped(const std::string& text)
{
    return QString::fromStdString(text).toHtmlEscaped().toStdString();
}

std::string Encoded(const std::string& text)
{
    return QUrl::toPercentEncoding(QString::fromStdString(text)).toStdString();
}

// The statements the program runs for itself never show as rows.
bool IsOwnHelper(std::string_view name)
{
    static const std::string_view kOwn[] = {"whos",          "GetVariables",  "GetVariablesValues",
                                            "profile",       "GetProfStatus", "DispFunctionProfilingEnd",
                                            "DispProfilingFileReady"};
    return std::find(std::begin(kOwn), std::end(kOwn), name) != std::end(kOwn);
}

long CallsValue(const std::string& calls)
{
    return std::strtol(calls.c_str(), nullptr, 10);
}

const CProfileNode* TableEntry(const CProfileNodes& table, const std::string& index)
{
    for (const CProfileNode& entry : table)
        if (entry.index == index)
            return &entry;
    return nullptr;
}

void AppendHeading(std::string& page, const CProfileNodes& table, const CProfileNavigation& nav)
{
    const std::size_t n = nav.BackList().size();
    if (nav.CurrentKey().empty()) {
        page += "<h4>Profile Summary</h4>";
    } else {
        page += "<a href=\"backfunction_" + std::to_string(n) + "\">Home</a> >> ";
        std::size_t k = 0;
        for (auto it = nav.BackList().rbegin(); it != nav.BackList().rend(); ++it, ++k) {
            if (const CProfileNode* entry = TableEntry(table, *it))
                page += "<a href=\"backfunction_" + std::to_string(n - k) + "\">" + Escaped(entry->functionName)
                        + "</a> >> ";
        }
        page += "<b>";
        if (const CProfileNode* entry = TableEntry(table, nav.CurrentKey()))
            page += Escaped(entry->functionName);
        page += "</b><hr/><p style=\"margin:0;padding:0;\"><b>Hierarchical:</b></p>";
    }
    const std::vector<std::string>& trail = nav.Trail();
    for (std::size_t i = 0; i < n && i < trail.size(); ++i)
        page += "<p style=\"text-indent:" + std::to_string(i) + "em;margin:0;padding:0;\">" + Escaped(trail[i])
                + "</p>";
    if (n > 0)
        page += "<br><hr/><b>Children:</b>";
}

void AppendRow(std::string& page, const CProfileNode& row, double sum)
{
    const std::string self = CProfileReport::DisplayTime(row.selfTime);
    const std::string total = CProfileReport::DisplayTime(row.totalTime);
    std::string link;
    if (row.childCount != "0") {
        const std::string description = row.functionName + ": " + row.numCalls + " calls, " + self + " self, "
                                        + total + " total";
        link = "<a href=\"function_" + Encoded(row.index) + "&" + Encoded(description) + "\">";
    }
    page += "<tr><td>" + link + Escaped(row.functionName) + "</a></td><td>" + Escaped(row.numCalls) + "</td><td>"
            + Escaped(self) + "</td><td>" + Escaped(total) + "</td><td>"
            + CProfileReport::Bar(CProfileReport::TimeValue(row.totalTime), CProfileReport::TimeValue(row.selfTime),
                                  sum)
            + "</td></tr>";
}

}  // namespace

double CProfileReport::TimeValue(const std::string& stored)
{
    std::string text = stored;
    std::replace(text.begin(), text.end(), ',', '.');
    double value = 0;
    const char* begin = text.c_str();
    if (*begin == '+')
        ++begin;
    if (std::from_chars(begin, text.c_str() + text.size(), value).ec != std::errc())
        return 0;
    return value;
}

std::string CProfileReport::DisplayTime(const std::string& stored)
{
    std::string text = stored;
    std::replace(text.begin(), text.end(), ',', '.');
    if (text.find_first_of("eE") != std::string::npos) {
        // Cut like the others, an exponent form would lose its exponent.
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.6f", TimeValue(stored));
        text = buffer;
    }
    const std::size_t dot = text.find('.');
    if (dot != std::string::npos && text.size() > dot + 4)
        text.resize(dot + 4);
    if (text == "0")
        return "0.000";
    return text;
}

std::string CProfileReport::Bar(double total, double self, double sum)
{
    const int outer = static_cast<int>(100 * total / (sum + 0.000000001));
    const int inner = total > 0 ? static_cast<int>(100 * self / total) : 0;
    return "<div style=\"width:" + std::to_string(outer)
           + "px; height:10px; background-color:#0FF;\"><div style=\"width:" + std::to_string(inner)
           + "%; height:10px; background-color:#00F; border-right:1px #FFF solid;\"></div></div>";
}

CProfileNodes CProfileReport::SelectRows(const std::string& cleanText, const std::string& levelPrefix,
                                         double* totalSum)
{
    CProfileNodes rows;
    double sum = 0;
    const std::string_view all(cleanText);
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find("<#>", start);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view record = all.substr(start, end - start);
        start = end + 3;

        std::string_view f[6];
        if (CProfileLoader::SplitRecord(record, f, 6) < 6)
            continue;
        const std::string_view path = f[0];
        std::string_view rest = path;
        if (levelPrefix.empty()) {
            if (path == "0")
                continue;
        } else {
            if (path.compare(0, levelPrefix.size(), levelPrefix) != 0)
                continue;
            rest = path.substr(levelPrefix.size());
        }
        if (rest.find(',') != std::string_view::npos || IsOwnHelper(f[1]))
            continue;
        const std::size_t comma = path.rfind(',');
        const std::string_view index = comma == std::string_view::npos ? path : path.substr(comma + 1);
        rows.push_back(CProfileNode{std::string(index), std::string(f[1]), std::string(f[2]), std::string(f[3]),
                                    std::string(f[4]), std::string(f[5])});
        sum += TimeValue(rows.back().totalTime);
    }
    if (totalSum)
        *totalSum = sum;
    return rows;
}

void CProfileReport::SortRows(CProfileNodes& rows, int sortMode)
{
    auto byTime = [](std::string CProfileNode::*field) {
        return [field](const CProfileNode& a, const CProfileNode& b) {
            return TimeValue(a.*field) > TimeValue(b.*field);
        };
    };
    switch (sortMode) {
    case -1:
    case ByTotalTime:
        std::stable_sort(rows.begin(), rows.end(), byTime(&CProfileNode::totalTime));
        break;
    case ByFunction:
        std::stable_sort(rows.begin(), rows.end(),
                         [](const CProfileNode& a, const CProfileNode& b) { return a.functionName < b.functionName; });
        break;
    case ByCalls:
        std::stable_sort(rows.begin(), rows.end(), [](const CProfileNode& a, const CProfileNode& b) {
            return CallsValue(a.numCalls) > CallsValue(b.numCalls);
        });
        break;
    case BySelfTime:
        std::stable_sort(rows.begin(), rows.end(), byTime(&CProfileNode::selfTime));
        break;
    default:
        break;
    }
}

std::string CProfileReport::Render(const Input& input, CProfileNodes* rowsOut)
{
    static const std::string kEmpty;
    static const CProfileNodes kNoTable;
    static const CProfileNavigation kSummary;
    const std::string& clean = input.cleanText ? *input.cleanText : kEmpty;
    const CProfileNodes& table = input.functionTable ? *input.functionTable : kNoTable;
    const CProfileNavigation& nav = input.navigation ? *input.navigation : kSummary;

    std::string page = kPageHead;
    page += "</head><body bgcolor=#ffffff>";
    AppendHeading(page, table, nav);
    page += "<table border=\"1\"><tr><th><a href=\"sortby_function\">Function Name</a></th>"
            "<th><a href=\"sortby_calls\">Calls</a></th><th><a href=\"sortby_selftime\">Self Time (s)</a></th>"
            "<th><a href=\"sortby_totaltime\">Total Time (s)</a></th><th>Total Time Plot</th></tr>";

    double sum = 0;
    CProfileNodes rows = SelectRows(clean, nav.LevelPrefix(), &sum);
    SortRows(rows, input.sortMode);
    for (const CProfileNode& row : rows)
        AppendRow(page, row, sum);

    page += "</table><p>Generated " + Escaped(input.startText) + ". Total time " + Escaped(input.elapsedText)
            + ".</p></body></html>";
    if (rowsOut)
        rowsOut->swap(rows);
    return page;
}

std::string CProfileReport::LoadingPage()
{
    return std::string(kPageHead)
           + " </head><body bgcolor=#ffffff><h3>Profiler</h3><p>Loading... Please wait</p></body></html>";
}

std::string CProfileReport::StyleSheet()
{
    return "body {font: normal 12px auto \"Trebuchet MS\", Verdana, Arial, Helvetica, sans-serif; color: #5f6b95"
           "; background: #FFFFFF;}a {color: #275ffe;} table { border-collapse: collapse;  border: 2px solid #99"
           "6; font: normal 12px auto \"Trebuchet MS\", Verdana, Arial, Helvetica, sans-serif; color: #333; back"
           "ground: #fffff0;} caption { padding: 0 .4em .4em; text-align: left; font-size: 1em; font-weight: bol"
           "d; text-transform: uppercase; color: #333; background: transparent;}td, th { border: 1px solid #cc9;"
           " padding: .3em;} th{ border: 1px solid #cc9; text-align: left; font-size: 1em; font-weight: bold; co"
           "lor: #444; background: #dbd9c0;} thead th, tfoot th { border: 1px solid #cc9; text-align: left; font"
           "-size: 1em; font-weight: bold; color: #444; background: #dbd9c0;} tbody td a { background: transpare"
           "nt; color: #275ffe; text-decoration: none; border-bottom: 1px dotted #cc9;} tbody td a:hover { backg"
           "round: transparent; color: #666; border-bottom: 1px dotted #72724c;} tbody th a { background: transp"
           "arent; color: #72724c; text-decoration: none; font-weight:bold; border-bottom: 1px dotted #cc9; } tb"
           "ody th a:hover { background: transparent; color: #666; border-bottom: 1px dotted #72724c;} tbody th,"
           " tbody td { vertical-align: top; text-align: left; tfoot td { border: 1px solid #996;}.odd { color: "
           "#333; background: #f7f5dc; } tbody tr:hover { color: #333; background: #fff; }tbody tr:hover th, tbo"
           "dy tr.odd:hover th { color: #333; background: #ddd59b; } ";
}

std::string CProfileReport::HelpPage()
{
    return "<html><head><title></title><meta http-equiv=\"Content-Type\" content=\"text/html\"><link rel=\"style"
           "sheet\" type=\"text/css\" href=\"Kestrune.css\"> </head><body bgcolor=#ffffff><h3>Profiling</h3><p>O"
           "ctave supports profiling of code execution on a per-function level. If profiling is enabled, each ca"
           "ll to a function (supporting built-ins, operators, functions in oct- and mex-files, user-defined fun"
           "ctions in Octave code and anonymous functions) is recorded while running Octave code. After that, th"
           "is data can aid in analyzing the code behavior, and is in particular helpful for finding &ldquo;hot "
           "spots&rdquo; in the code which use up a lot of computation time and are the best targets to spend op"
           "timization efforts on.</p><p>To profile an Octave code file or a line of code:</p><ol type=\"1\"><li"
           ">Do one of the following:<ul type=\"2\"><li>Profiling a Statement from the Profiler:</li><ol type=\""
           "3\"><li>In the Code field, type the statement you want to run or select the statement from the list "
           "box.</li><li>Click Start or press enter key in the Code field.</li></ol></ul><ul type=\"2\"><li>Prof"
           "iling Statements from the Command Window:</li><ol><li>In the Profiler, clear the Code field and clic"
           "k Start.</li><li>In the Command Window, enter and run the statements you want to profile.</li><li>Af"
           "ter running all the statements, click Stop.</li></ul></p></li><li>When profiling is complete, the Pr"
           "ofile Summary report appears in the Profiler window.</li></ol></body></html>";
}
