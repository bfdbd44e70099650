#pragma once

#include "diff/coptionlist.h"

#include <ctime>
#include <functional>
#include <string>

// One comparison from two paths to a written report: the path that both the
// command line and the selection dialog take.
class CComparisonRun {
public:
    enum Result {
        Written = 0,
        Missing,     // "%s does not exist."
        Mismatch,    // a file against a folder
        CannotWrite, // the report could not be created or written
        CannotRead,  // a file exists but could not be read: "%s cannot be read."
        OutputIsInput, // the report would overwrite an input or land in a compared folder
    };

    // Receives every failure text; the program decides where it is shown.
    using Notify = std::function<void(const std::string& message)>;
    // The time shown under each name; tests replace it to get a stable page.
    using TimeText = std::function<std::string(const std::string& path)>;

    static Result Run(const std::string& first, const std::string& second, std::string output,
                      const COptionList& options, const Notify& notify,
                      const TimeText& timeText = TimeText());

    // The path's last-write time as the report shows it.
    static std::string LastWriteText(const std::string& path);
};
