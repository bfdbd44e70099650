#pragma once

#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

// Processor time (user and system, in seconds) of this process and of
// another one, for the benchmarks' accounts of who spent what.
class CProcessTimes {
public:
    static double Self()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    }

    // From /proc/<pid>/stat (fields 14 and 15, in clock ticks); 0 when gone.
    static double Of(pid_t pid)
    {
        std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(file, line))
            return 0;
        // The command name (field 2) may hold blanks: count from its end.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos)
            return 0;
        std::istringstream fields(line.substr(close + 2));
        std::string skip;
        for (int i = 3; i < 14; ++i)
            fields >> skip;
        unsigned long long user = 0, system = 0;
        fields >> user >> system;
        return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

private:
    static double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }
};
