#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

// Ending companion processes by name. Only processes that descend from this
// program are considered: ending every same-named process of the machine
// would end other users' and other sessions' work.
class CConnectionProcesses {
public:
    // Ends (SIGKILL) one descendant of this process whose program name equals
    // name without regard to case; returns 0 when one was ended, 603 when
    // none runs, another value when /proc cannot be read. Callers loop while
    // it returns 0.
    static int TerminateProcessesByName(const std::string& name);

    // Ends every such descendant; returns how many were ended.
    static int TerminateAllByName(const std::string& name);

    // The descendants of root (not root itself), read from /proc.
    static std::vector<pid_t> Descendants(pid_t root);
    // The program name of a process: the base name of its executable, or its
    // command name when the executable cannot be read.
    static std::string ProgramName(pid_t pid);

    static constexpr int kNotFound = 603;
    static constexpr int kNoProcessList = 1;
};
