// Loads a profile of 100,000 call-tree records (data file -> call tree ->
// clean file -> clean text) and renders its summary and a deep level; prints
// the times against the 0.5 s budget. Run: bench_profiler [records]
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <time.h>
#include <string>

#include "main/profiler/cprofileloader.h"
#include "main/profiler/cprofilenavigation.h"
#include "main/profiler/cprofilereport.h"

namespace {

const int kFunctions = 2000;

// A call tree of about records nodes: 200 top-level calls, each with nested
// calls of fan-out 8 down to depth 5 and leaves filling up the rest.
std::string Dump(int records)
{
    std::string out = "<|><#>";
    for (int f = 1; f <= kFunctions; ++f)
        out += ".FunctionTable(" + std::to_string(f) + ")<|>fn_" + std::to_string(f) + "<#>";
    int written = 0;
    unsigned seed = 7;
    auto node = [&](const std::string& path, int children) {
        seed = seed * 1103515245u + 12345u;
        const int index = 1 + static_cast<int>(seed % kFunctions);
        out += path + "<|>" + std::to_string(index) + "<|>0.00" + std::to_string(seed % 997) + "<|>0.0"
               + std::to_string(seed % 9973) + "<|>" + std::to_string(1 + seed % 50) + "<|>"
               + std::to_string(children) + "<#>";
        ++written;
    };
    std::function<void(const std::string&, int)> subtree = [&](const std::string& path, int depth) {
        const int fan = depth < 5 ? 8 : 0;
        node(path, fan);
        for (int c = 1; c <= fan && written < records; ++c)
            subtree(path + ".Children(" + std::to_string(c) + ")", depth + 1);
    };
    for (int top = 1; written < records; ++top)
        subtree(".Hierarchical(" + std::to_string(top) + ")", 1);
    return out;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Processor time of this process: on a shared machine the wall time also
// counts the time other processes had the processor.
double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const std::string data = dir.filePath("prof_Hierarchical.txt").toStdString();
    const std::string clean = dir.filePath("prof_Hierarc_clean.txt").toStdString();
    std::ofstream(data, std::ios::binary) << Dump(records);

    if (argc > 2) { std::ofstream(argv[2], std::ios::binary) << Dump(records); return 0; }
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    CProfileNodes table;
    std::string text;
    if (!CProfileLoader::Load(data, clean, table, text)) {
        std::fprintf(stderr, "load failed\n");
        return 1;
    }
    const double load = Seconds(start);

    CProfileNavigation navigation;
    CProfileNodes rows;
    CProfileReport::Input input{&text, &table, &navigation, -1, "08-Dec-2026 07:00:00", "00:00:01"};
    const std::string summary = CProfileReport::Render(input, &rows);
    const std::size_t topRows = rows.size();
    navigation.Descend(rows.front().index, "first");
    input.sortMode = CProfileReport::ByFunction;
    CProfileReport::Render(input, &rows);
    const double total = Seconds(start);
    const double cpu = CpuSeconds() - cpuStart;

    std::printf("profile of %d call-tree records: load %.3f s, load and two renders %.3f s wall, %.3f s processor "
                "(budget 0.500 s: %.0f%% wall, %.0f%% processor); summary %zu rows, %zu bytes\n",
                records, load, total, cpu, 100 * total / 0.5, 100 * cpu / 0.5, topRows, summary.size());
    return cpu <= 0.5 ? 0 : 1;
}
