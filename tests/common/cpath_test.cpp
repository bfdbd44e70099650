#include "common/cpath.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <unistd.h>

TEST(CPathTest, TakesAbsolutePathApartWithEitherSeparator)
{
    CPath path("/work/data/f.m");
    EXPECT_EQ(path.GetDrive(), "");
    EXPECT_EQ(path.GetFolder(), "/work/data/");
    EXPECT_EQ(path.GetLocation(), "/work/data/");
    EXPECT_EQ(path.GetFileName(), "f.m");
    EXPECT_EQ(path.GetExtension(), "m");
    EXPECT_EQ(path.GetPath(), "/work/data/f.m");
    EXPECT_FALSE(path.IsRelative());

    CPath windows("\\work\\f.m");
    EXPECT_EQ(windows.GetFolder(), "/work/");
    EXPECT_EQ(windows.GetPath(), "/work/f.m");

    CPath mixed("rel/sub\\g.txt");
    EXPECT_EQ(mixed.GetFolder(), "rel/sub/");
    EXPECT_TRUE(mixed.IsRelative());
    EXPECT_TRUE(CPath("plain.m").IsRelative());
    EXPECT_FALSE(CPath("").IsRelative());
}

TEST(CPathTest, QuotesAndBlanks)
{
    CPath path("\"/home/a user/my file.m\"");
    EXPECT_EQ(path.GetFolder(), "/home/a user/");
    EXPECT_EQ(path.GetFileName(), "my file.m");
    EXPECT_EQ(path.GetPath(), "/home/a user/my file.m");
}

TEST(CPathTest, NamesWithoutOrWithUnusualDots)
{
    CPath bare("/usr/bin/octave");
    EXPECT_EQ(bare.GetFileName(), "octave");
    EXPECT_EQ(bare.GetExtension(), "");

    // Splitting these at the dot would change the path when rebuilt.
    EXPECT_EQ(CPath("/home/u/.octaverc").GetFileName(), ".octaverc");
    EXPECT_EQ(CPath("/home/u/.octaverc").GetExtension(), "");
    EXPECT_EQ(CPath("/tmp/file.").GetPath(), "/tmp/file.");
    EXPECT_EQ(CPath("/a/b.tar.gz").GetExtension(), "gz");
    EXPECT_EQ(CPath("/a/..").GetFileName(), "..");
}

TEST(CPathTest, FolderComponentsKeepDotsAsWritten)
{
    CPath path("/a/../b/./c.m");
    EXPECT_EQ(path.GetFolderCount(), 4);
    EXPECT_EQ(path.GetFolderComponent(0), "a");
    EXPECT_EQ(path.GetFolderComponent(1), "..");
    EXPECT_EQ(path.GetFolderComponent(2), "b");
    EXPECT_EQ(path.GetFolderComponent(3), ".");
    EXPECT_EQ(path.GetFolderComponent(4), "");
    EXPECT_EQ(path.GetFolderComponent(-1), "/a/../b/./");
    EXPECT_EQ(path.GetFolderComponent(-2), "");

    CPath relative("../x/y.m");
    EXPECT_TRUE(relative.IsRelative());
    EXPECT_EQ(relative.GetFolderCount(), 2);
    EXPECT_EQ(relative.GetFolderComponent(0), "..");
    EXPECT_EQ(relative.GetFolderComponent(1), "x");

    EXPECT_EQ(CPath("f.m").GetFolderCount(), 0);
}

TEST(CPathTest, FolderFlagTakesTheLastNameAsFolder)
{
    CPath folder("/work/data", true);
    EXPECT_EQ(folder.GetFolder(), "/work/data/");
    EXPECT_EQ(folder.GetFileName(), "");
    EXPECT_EQ(folder.GetFolderCount(), 2);

    EXPECT_EQ(CPath("/work/data/", true).GetFolder(), "/work/data/");
    // A dotted folder name stays whole; a relative one stays relative.
    EXPECT_EQ(CPath("/opt/pkg-1.2", true).GetFolder(), "/opt/pkg-1.2/");
    CPath relative("data", true);
    EXPECT_EQ(relative.GetFolder(), "data/");
    EXPECT_TRUE(relative.IsRelative());
    EXPECT_EQ(CPath("/", true).GetFolder(), "/");
}

TEST(CPathTest, ArgumentsWithSwitchesAndQuotedValues)
{
    CPath path("/tools/t /v -o \"my file\"", false, true);
    EXPECT_EQ(path.GetPath(), "/tools/t");
    ASSERT_EQ(path.GetArgumentCount(), 2);
    EXPECT_EQ(path.GetArgument(0, false), "v");
    EXPECT_EQ(path.GetArgument(0, true), "");
    EXPECT_EQ(path.GetArgument(1, false), "o");
    EXPECT_EQ(path.GetArgument(1, true), "my file");
    EXPECT_EQ(path.GetArgument(2, false), "");
    EXPECT_EQ(path.GetArgument(-1, true), "");
    EXPECT_EQ(path.GetPath(true), "/tools/t /v -o \"my file\"");
}

TEST(CPathTest, ArgumentRules)
{
    // A quoted program path with blanks; bare values; a trailing switch.
    CPath path("  \"/my tools/diff\" -c  old.txt new.txt /x  ", false, true);
    EXPECT_EQ(path.GetPath(), "/my tools/diff");
    ASSERT_EQ(path.GetArgumentCount(), 3);
    EXPECT_EQ(path.GetArgument(0, false), "c");
    EXPECT_EQ(path.GetArgument(0, true), "old.txt");
    EXPECT_EQ(path.GetArgument(1, false), "");
    EXPECT_EQ(path.GetArgument(1, true), "new.txt");
    EXPECT_EQ(path.GetArgument(2, false), "x");
    EXPECT_EQ(path.GetArgument(2, true), "");
    EXPECT_EQ(path.GetPath(true), "/my tools/diff -c old.txt new.txt /x");

    // An absolute path after a switch is its value, not another switch.
    CPath withPath("/usr/bin/tool -i /home/u/a.m /home/u/b.m", false, true);
    EXPECT_EQ(withPath.GetPath(), "/usr/bin/tool");
    ASSERT_EQ(withPath.GetArgumentCount(), 2);
    EXPECT_EQ(withPath.GetArgument(0, false), "i");
    EXPECT_EQ(withPath.GetArgument(0, true), "/home/u/a.m");
    EXPECT_EQ(withPath.GetArgument(1, false), "");
    EXPECT_EQ(withPath.GetArgument(1, true), "/home/u/b.m");

    // A quoted value without a switch; an unclosed quote runs to the end.
    CPath quoted("prog \"a b\" -n \"c d", false, true);
    ASSERT_EQ(quoted.GetArgumentCount(), 2);
    EXPECT_EQ(quoted.GetArgument(0, true), "a b");
    EXPECT_EQ(quoted.GetArgument(1, false), "n");
    EXPECT_EQ(quoted.GetArgument(1, true), "c d");

    EXPECT_EQ(CPath("prog", false, true).GetArgumentCount(), 0);
    EXPECT_EQ(CPath("/a b", false, false).GetArgumentCount(), 0);
}

TEST(CPathTest, FileTimes)
{
    char name[] = "/tmp/cpath-test-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    const time_t now = time(nullptr);

    CPath path(name);
    ASSERT_TRUE(path.ReadFileInfo());
    EXPECT_NEAR(static_cast<double>(path.GetFileTime(2)), static_cast<double>(now), 5.0);
    EXPECT_NEAR(static_cast<double>(path.GetFileTime(0)), static_cast<double>(now), 5.0);
    EXPECT_NEAR(static_cast<double>(path.GetFileTime(1)), static_cast<double>(now), 5.0);
    unlink(name);

    CPath missing("/nonexistent/folder/file.m");
    EXPECT_FALSE(missing.ReadFileInfo());
    EXPECT_EQ(missing.GetFileTime(0), 0);
    EXPECT_EQ(missing.GetFileTime(2), 0);
}

TEST(CPathTest, AddBackslash)
{
    EXPECT_EQ(CPath::AddBackslash("a"), "a\\");
    EXPECT_EQ(CPath::AddBackslash("a", true), "a/");
    EXPECT_EQ(CPath::AddBackslash("a/", false), "a/");
    EXPECT_EQ(CPath::AddBackslash("a\\", true), "a\\");
}
