#pragma once

#include <string>

#include "main/profiler/cprofilenavigation.h"
#include "main/profiler/cprofilenode.h"

// The HTML of the profile report: one level of the call tree as a table with
// call counts, times and a bar per function, a trail back to the summary and
// sortable columns; and the fixed pages (style sheet, help, loading).
//
// Names and trail texts are escaped as markup; link targets carry them
// percent-encoded (CProfileLink decodes them).
class CProfileReport {
public:
    // Sort modes of Render.
    enum SortMode { ByTotalTime = 0, ByFunction = 1, ByCalls = 2, BySelfTime = 3 };

    struct Input {
        const std::string* cleanText = nullptr;
        const CProfileNodes* functionTable = nullptr;
        const CProfileNavigation* navigation = nullptr;
        // -1 and 0 by total time, 1 by name, 2 by calls, 3 by self time, any
        // other value keeps the clean text's order.
        int sortMode = -1;
        // "dd-MMM-yyyy HH:mm:ss" of the last start, "HH:mm:ss" of the last run.
        std::string startText;
        std::string elapsedText;
    };

    // The page for the navigation's current level. rows, when given, receives
    // the rows shown, in the order shown.
    static std::string Render(const Input& input, CProfileNodes* rows = nullptr);

    // The rows of one level, in clean-text order, and the sum of their total
    // times. The program's own helper functions are left out.
    static CProfileNodes SelectRows(const std::string& cleanText, const std::string& levelPrefix, double* totalSum);
    static void SortRows(CProfileNodes& rows, int sortMode);

    // A stored time ("0,0012", "1,2e-05") as a number, whatever the locale.
    static double TimeValue(const std::string& stored);
    // A stored time as shown: three decimals, cut rather than rounded; "0.000"
    // for zero.
    static std::string DisplayTime(const std::string& stored);
    // The bar of one row: the outer width is the row's share of sum, the
    // inner (dark) part the share of its own time.
    static std::string Bar(double total, double self, double sum);

    static std::string StyleSheet();
    static std::string HelpPage();
    static std::string LoadingPage();

    static const char* const kStyleSheetFile;  // "Kestrune.css"
    static const char* const kReportFile;      // "Kestrune_Prof.html"
};
