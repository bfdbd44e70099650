#pragma once

#include <string>

// The statements the profiler pane sends to the interpreter. "###" marks a
// statement the program issues for itself.
class CProfileStatements {
public:
    static std::string On() { return "profile on;###"; }
    static std::string Off() { return "profile off;###"; }
    static std::string Resume() { return "profile resume;###"; }
    static std::string Clear() { return "profile clear;###"; }
    // Prints "ProfilerStatus = on" or "... = off" (defined at session start).
    static std::string Status() { return "GetProfStatus();"; }
    // Prints "__FunctioProfilingEnd__" once the profiled code has run.
    static std::string CodeEndMarker();
    // Prints "__ProfilingFileReady__" once the dump script has run.
    static std::string FileReadyMarker();

    // The script that writes profile('info') into dataPath as records (see
    // CProfileLoader). Empty when the path cannot be put into a statement.
    static std::string DumpScript(const std::string& dataPath);

    // Reads a status answer: true when it says on or off, with on set.
    static bool ParseStatus(const std::string& answer, bool& on);

    static const char* const kDataFile;   // "prof_Hierarchical.txt"
    static const char* const kCleanFile;  // "prof_Hierarc_clean.txt"
};
