// Times kestrune-diff (report included) against GNU "diff -y" on the same
// generated pairs and checks the targets:
//   200,000 lines with 1% changed, added or deleted: at most 3 times diff -y;
//   50,000 lines with no line in common: under 2 seconds;
//   four times the lines: at most five times the time.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string RandomLine(std::mt19937& random, const char* prefix)
{
    static const char* const words[] = {"x", "y", "value", "result", "=", "+", "(", ")", "for", "end",
                                        "if", "disp", "zeros", "k", "1", "2", ";", "size", "matrix"};
    std::string line = prefix;
    const int count = 4 + static_cast<int>(random() % 8);
    for (int i = 0; i < count; ++i) {
        line += words[random() % (sizeof words / sizeof *words)];
        line += ' ';
    }
    line += std::to_string(random() % 100000);
    return line;
}

void Write(const std::string& path, const std::vector<std::string>& lines)
{
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : lines)
        out << line << '\n';
}

// A file of n lines and a copy with 1% of its lines changed, added or deleted.
void MakeEditedPair(const std::string& a, const std::string& b, int n, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::string> first, second;
    for (int i = 0; i < n; ++i)
        first.push_back(RandomLine(random, ""));
    for (const std::string& line : first) {
        if (random() % 100 != 0) {
            second.push_back(line);
            continue;
        }
        switch (random() % 3) {
        case 0:
            second.push_back(RandomLine(random, "changed "));
            break;
        case 1:
            second.push_back(line);
            second.push_back(RandomLine(random, "added "));
            break;
        default:
            break; // deleted
        }
    }
    Write(a, first);
    Write(b, second);
}

void MakeDisjointPair(const std::string& a, const std::string& b, int n, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::string> first, second;
    for (int i = 0; i < n; ++i) {
        first.push_back(RandomLine(random, "left "));
        second.push_back(RandomLine(random, "right "));
    }
    Write(a, first);
    Write(b, second);
}

struct Seconds {
    double wall = 1e9;
    double cpu = 1e9; // user + system of the child: steady on a busy machine
};

// One run; the program's standard output goes to outputPath.
Seconds TimeRun(const std::vector<std::string>& args, const std::string& outputPath)
{
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(2);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    // diff exits with 1 when the files differ; anything else is a failure.
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(2);
    }
    Seconds taken;
    taken.wall = std::chrono::duration<double>(end - start).count();
    taken.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return taken;
}

Seconds Best(int runs, const std::vector<std::string>& args, const std::string& outputPath)
{
    Seconds best;
    for (int i = 0; i < runs; ++i) {
        const Seconds one = TimeRun(args, outputPath);
        best.wall = std::min(best.wall, one.wall);
        best.cpu = std::min(best.cpu, one.cpu);
    }
    return best;
}

struct Timing {
    Seconds ours;
    Seconds gnu;
};

void Print(const char* what, const Timing& t)
{
    std::printf("%s\n  kestrune-diff: wall %.3f s, cpu %.3f s; diff -y: wall %.3f s, cpu %.3f s; "
                "ratio wall %.2f, cpu %.2f\n",
                what, t.ours.wall, t.ours.cpu, t.gnu.wall, t.gnu.cpu, t.ours.wall / t.gnu.wall,
                t.ours.cpu / t.gnu.cpu);
}

Timing Measure(const std::string& program, const std::string& dir, const std::string& a, const std::string& b)
{
    Timing t;
    t.ours = Best(5, {program, a, b, dir + "/report.html"}, "/dev/null");
    t.gnu = Best(5, {"diff", "-y", a, b}, dir + "/gnu.txt");
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string program = argc > 1 ? argv[1] : KESTRUNE_BIN_DIR "/kestrune-diff";
    char pattern[] = "/tmp/bench-diff-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string a = dir + "/a.txt", b = dir + "/b.txt";
    bool met = true;
    // Ratios are judged on processor time (best of five), which other work on
    // the machine does not inflate; wall times are shown beside them.
    const auto check = [&met](const char* what, double value, double limit, bool strict) {
        const bool ok = strict ? value < limit : value <= limit;
        std::printf("  %s %.2f (target %s %g): %s\n", what, value, strict ? "<" : "<=", limit, ok ? "ok" : "MISSED");
        met = met && ok;
    };

    MakeEditedPair(a, b, 200000, 1);
    const Timing big = Measure(program, dir, a, b);
    Print("200000 lines, 1% changed, added or deleted", big);
    check("cpu ratio", big.ours.cpu / big.gnu.cpu, 3, false);

    MakeDisjointPair(a, b, 50000, 2);
    const Timing disjoint = Measure(program, dir, a, b);
    Print("50000 lines, no line in common", disjoint);
    check("kestrune-diff wall seconds", disjoint.ours.wall, 2, true);

    MakeEditedPair(a, b, 50000, 3);
    const Timing small = Measure(program, dir, a, b);
    MakeEditedPair(a, b, 200000, 3);
    const Timing large = Measure(program, dir, a, b);
    std::printf("growth 50000 -> 200000 lines, 1%% edited: cpu %.3f s -> %.3f s, wall %.3f s -> %.3f s\n",
                small.ours.cpu, large.ours.cpu, small.ours.wall, large.ours.wall);
    check("cpu factor", large.ours.cpu / small.ours.cpu, 5, false);

    MakeDisjointPair(a, b, 12500, 4);
    const Timing disjointSmall = Measure(program, dir, a, b);
    MakeDisjointPair(a, b, 50000, 4);
    const Timing disjointLarge = Measure(program, dir, a, b);
    std::printf("growth 12500 -> 50000 lines, none in common: cpu %.3f s -> %.3f s, wall %.3f s -> %.3f s\n",
                disjointSmall.ours.cpu, disjointLarge.ours.cpu, disjointSmall.ours.wall, disjointLarge.ours.wall);
    check("cpu factor", disjointLarge.ours.cpu / disjointSmall.ours.cpu, 5, false);

    std::system(("rm -rf '" + dir + "'").c_str());
    std::printf("%s\n", met ? "all targets met" : "some targets missed");
    return met ? 0 : 1;
}
