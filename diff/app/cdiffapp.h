#pragma once

#include <string>
#include <vector>

// Start-up of kestrune-diff: compare at once from the command line, or ask
// for the two paths in the selection dialog.
//
// Exit status: 0 when the report was written, 1 when a comparison failed
// (a path does not exist, a file against a folder, the report cannot be
// written), 2 when nothing was compared (the dialog was cancelled, or it was
// needed and no display is available: then the usage text goes to standard
// error instead).
class CDiffApp {
public:
    enum Exit { ReportWritten = 0, Failed = 1, NothingCompared = 2 };

    static int Run(int& argc, char** argv);

    // A window can be shown: a display server is named and Qt is not told to
    // draw off screen.
    static bool DisplayAvailable();

    // Failure texts always go to standard error. A message box is shown as
    // well when a display is available and the user would not see standard
    // error otherwise: from the dialog, or from a command line whose standard
    // error is no terminal (started by the main program or a desktop launcher).
    static void Tell(const std::string& message, bool fromDialog);
};
