#include "tests/diff/difftesthelpers.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

using difftest::TempDir;
using difftest::WriteFile;

namespace {

std::vector<std::string> Lines(const CFilePartition& p)
{
    std::vector<std::string> lines;
    for (int i = 0; i < p.GetLineCount(); ++i)
        lines.push_back(p.GetLineText(i));
    return lines;
}

std::vector<std::string> LoadText(const TempDir& dir, const std::string& content)
{
    WriteFile(dir / "f.txt", content);
    CFilePartition p;
    EXPECT_TRUE(p.LoadFile(dir / "f.txt", COptionList()));
    EXPECT_EQ(p.GetName(), dir / "f.txt");
    return Lines(p);
}

void SetWriteTime(const std::string& path, time_t when)
{
    const timeval times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimes(path.c_str(), times), 0);
}

} // namespace

TEST(DiffLoadFile, LineEnds)
{
    TempDir dir;
    EXPECT_TRUE(LoadText(dir, "").empty());
    EXPECT_EQ(LoadText(dir, "\n"), std::vector<std::string>{""});
    EXPECT_EQ(LoadText(dir, "a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(LoadText(dir, "a\n\nb\n"), (std::vector<std::string>{"a", "", "b"}));
    // Only a carriage return right before a line feed belongs to the line end.
    EXPECT_EQ(LoadText(dir, "a\rb\r\r\nc\r"), (std::vector<std::string>{"a\rb\r", "c\r"}));
    EXPECT_EQ(LoadText(dir, std::string("a\0b\n\0", 5)),
              (std::vector<std::string>{std::string("a\0b", 3), std::string(1, '\0')}));
}

TEST(DiffLoadFile, MissingFileOrEmptyPathGivesNoLines)
{
    TempDir dir;
    CFilePartition missing;
    EXPECT_FALSE(missing.LoadFile(dir / "missing.txt", COptionList()));
    EXPECT_EQ(missing.GetLineCount(), 0);
    CFilePartition empty;
    EXPECT_FALSE(empty.LoadFile("", COptionList()));
    EXPECT_EQ(empty.GetLineCount(), 0);
    EXPECT_EQ(empty.GetLineText(0), "");
    EXPECT_EQ(empty.GetLineStatus(-1), Unchanged);
}

TEST(DiffLoadFile, OptionsNormaliseButTextStaysAsRead)
{
    TempDir dir;
    WriteFile(dir / "f.txt", "  ABC\n");
    COptionList options;
    options.SetOption("case", "no");
    options.SetOption("indent", "no");
    CFilePartition p;
    p.LoadFile(dir / "f.txt", options);
    EXPECT_EQ(p.GetLineText(0), "  ABC");
    EXPECT_EQ(p.GetNormalizedLine(0), "abc");
    EXPECT_EQ(p.GetOptions().Entries(), (std::vector<std::string>{"case;no", "indent;no"}));
}

TEST(DiffLoadFolder, ListingOrderTimesAndNesting)
{
    TempDir dir;
    const std::string root = dir / "Root";
    ASSERT_EQ(mkdir(root.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((root + "/sub").c_str(), 0700), 0);
    WriteFile(root + "/a.txt", "a");
    WriteFile(root + "/B.txt", "b");
    WriteFile(root + "/c.txt", "c");
    WriteFile(root + "/sub/inner.m", "x");
    // 2021-03-04 05:06:07 UTC, shown in UTC whatever the local zone.
    for (const char* name : {"/a.txt", "/B.txt", "/c.txt", "/sub/inner.m"})
        SetWriteTime(root + name, 1614834367);

    CFilePartition p;
    EXPECT_TRUE(p.LoadFolder(root + "//", COptionList()));
    EXPECT_EQ(p.GetName(), root + "//");
    EXPECT_EQ(Lines(p), (std::vector<std::string>{
                            "+ Root",
                            "  + sub",
                            "      inner.m (04/03/2021  05:06)",
                            "    c.txt (04/03/2021  05:06)",
                            "    B.txt (04/03/2021  05:06)",
                            "    a.txt (04/03/2021  05:06)",
                        }));
}

TEST(DiffLoadFolder, UnreadableFilesAreLeftOutAndLinksNotFollowed)
{
    TempDir dir;
    WriteFile(dir / "kept.txt", "k");
    ASSERT_EQ(symlink(dir.Path().c_str(), (dir / "loop").c_str()), 0);
    ASSERT_EQ(symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str()), 0);
    CFilePartition p;
    p.LoadFolder(dir.Path(), COptionList());
    ASSERT_EQ(p.GetLineCount(), 3);
    EXPECT_EQ(p.GetLineText(1).rfind("    loop (", 0), 0u);
    EXPECT_EQ(p.GetLineText(2).rfind("    kept.txt (", 0), 0u);
}

TEST(DiffLoadFolder, IndentOptionIgnoresNestingDepth)
{
    TempDir dir;
    for (const char* sub : {"/x", "/y", "/y/x"})
        ASSERT_EQ(mkdir((dir.Path() + sub).c_str(), 0700), 0);
    COptionList indent;
    indent.SetOption("indent", "no");
    CFilePartition top, nested;
    top.LoadFolder(dir / "x", indent);
    nested.LoadFolder(dir / "y", indent);
    int start = 0;
    ASSERT_EQ(nested.GetLineText(1), "  + x");
    EXPECT_TRUE(nested.FindLine(1, top, start));
    EXPECT_EQ(start, 0);
}
