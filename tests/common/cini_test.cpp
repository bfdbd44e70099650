#include "common/cini.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class CIniTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char templ[] = "/tmp/cini-test-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        m_folder = templ;
        m_path = m_folder + "/userpaths.dat";
    }
    void TearDown() override
    {
        std::string command = "rm -rf '" + m_folder + "'";
        ASSERT_EQ(system(command.c_str()), 0);
    }

    void Put(const std::string& content)
    {
        std::ofstream(m_path, std::ios::binary) << content;
    }
    std::string Content() const
    {
        std::ifstream in(m_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        DIR* dir = opendir(m_folder.c_str());
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(dir);
        return names;
    }

    std::string m_folder;
    std::string m_path;
};

using Items = std::vector<std::string>;

}  // namespace

TEST_F(CIniTest, ReadsAWindowsWrittenFile)
{
    const std::string longValue(2000, 'x');
    Put("; written on Windows\r\n[General]\r\nHistory=wrong section\r\n\r\n"
        "[User]\r\nHistory = disp(1)|;|a = 'caf\xe9'\r\nhistory=second\r\n"
        "Long=" + longValue + "\r\n[USER]\r\nOther=from the second block\r\n");
    CIni ini(m_path.c_str());
    EXPECT_EQ(ini.GetString("user", "HISTORY", "d"), "disp(1)|;|a = 'caf\xe9'");
    EXPECT_EQ(ini.GetString("General", "history", "d"), "wrong section");
    EXPECT_EQ(ini.GetString("User", "Long", ""), longValue);
    EXPECT_EQ(ini.GetString("User", "Missing", "default"), "default");
    EXPECT_EQ(ini.GetString("Nowhere", "History", nullptr), "");
    EXPECT_EQ(ini.GetString(nullptr, "History", "d"), "d");
    EXPECT_EQ(ini.GetString("User", nullptr, "d"), "d");

    Items items;
    ini.GetArray("User", "History", items, "|;|");
    EXPECT_EQ(items, (Items{"disp(1)", "a = 'caf\xe9'"}));
}

TEST_F(CIniTest, MissingFileGivesDefaultsAndFirstWriteCreatesIt)
{
    CIni ini(m_path.c_str());
    EXPECT_EQ(ini.GetString("User", "Paths", "none"), "none");
    Items items{"stale"};
    ini.GetArray("User", "Paths", items);
    EXPECT_TRUE(items.empty());

    ASSERT_TRUE(ini.WriteString("User", "Paths", "/a,/b"));
    EXPECT_EQ(Content(), "[User]\nPaths=/a,/b\n");
    EXPECT_EQ(ini.GetString("user", "paths", ""), "/a,/b");
    ASSERT_TRUE(ini.WriteString("User", "Empty", nullptr));
    EXPECT_EQ(ini.GetString("User", "Empty", "d"), "");

    EXPECT_FALSE(ini.WriteString(nullptr, "k", "v"));
    EXPECT_FALSE(ini.WriteString("User", nullptr, "v"));
    CIni unset;
    EXPECT_FALSE(unset.WriteString("User", "k", "v"));
    CIni noFolder((m_folder + "/missing/x.dat").c_str());
    EXPECT_FALSE(noFolder.WriteString("User", "k", "v"));
}

TEST_F(CIniTest, RewriteKeepsEverythingElseAndLineEnds)
{
    Put("; comment\r\n[User]\r\nHistory=old\r\nhistory=shadowed\r\nPaths=/p\r\n\r\n[System]\r\nKeyWords=if,end\r\n");
    CIni ini(m_path.c_str());
    ASSERT_TRUE(ini.WriteString("USER", "HISTORY", "new value"));
    ASSERT_TRUE(ini.WriteString("User", "Added", "1"));
    ASSERT_TRUE(ini.WriteString("Extra", "Key", "2"));
    EXPECT_EQ(Content(), "; comment\r\n[User]\r\nHistory=new value\r\nhistory=shadowed\r\nPaths=/p\r\nAdded=1\r\n\r\n"
                         "[System]\r\nKeyWords=if,end\r\n[Extra]\r\nKey=2\r\n");

    // A file without a final line end gets one before the new line.
    Put("[User]\nA=1");
    ASSERT_TRUE(ini.WriteString("User", "B", "2"));
    EXPECT_EQ(Content(), "[User]\nA=1\nB=2\n");
}

TEST_F(CIniTest, WriteIsAtomicAndKeepsTheFileMode)
{
    Put("[User]\nA=1\n");
    chmod(m_path.c_str(), 0640);
    CIni ini(m_path.c_str());
    ASSERT_TRUE(ini.WriteString("User", "A", "2"));
    EXPECT_EQ(FolderEntries(), (Items{"userpaths.dat"}));
    struct stat st {};
    ASSERT_EQ(stat(m_path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    // A write through a link updates the file it points at.
    const std::string link = m_folder + "/link.dat";
    ASSERT_EQ(symlink(m_path.c_str(), link.c_str()), 0);
    CIni viaLink(link.c_str());
    ASSERT_TRUE(viaLink.WriteString("User", "A", "3"));
    struct stat linkStat {};
    ASSERT_EQ(lstat(link.c_str(), &linkStat), 0);
    EXPECT_TRUE(S_ISLNK(linkStat.st_mode));
    EXPECT_EQ(ini.GetString("User", "A", ""), "3");
}

TEST_F(CIniTest, LineBreaksAreRefusedNotWritten)
{
    Put("[User]\nA=1\n");
    CIni ini(m_path.c_str());
    EXPECT_FALSE(ini.WriteString("User", "A", "two\nlines"));
    EXPECT_FALSE(ini.WriteString("User", "A", "cr\rhere"));
    EXPECT_FALSE(ini.WriteString("Us\ner", "A", "x"));
    EXPECT_FALSE(ini.WriteString("User", "K=ey", "x"));
    EXPECT_FALSE(ini.WriteArray("User", "A", {"fine", "not\nfine"}));
    EXPECT_EQ(Content(), "[User]\nA=1\n");
}

TEST_F(CIniTest, ListsTrimAndDropEmptyPieces)
{
    Put("[User]\nHistory=a|;| b |;||;|c\nPaths= x ,, y,\n");
    CIni ini(m_path.c_str());
    Items items;
    ini.GetArray("User", "History", items, "|;|");
    EXPECT_EQ(items, (Items{"a", "b", "c"}));
    ini.GetArray("User", "Paths", items, nullptr);
    EXPECT_EQ(items, (Items{"x", "y"}));
    ini.GetArray("User", "Paths", items, "");
    EXPECT_EQ(items, (Items{"x", "y"}));
}

TEST_F(CIniTest, WriteArrayCountsAndDelimiters)
{
    CIni ini(m_path.c_str());
    const Items four{"one", "two", "three", "four"};
    ASSERT_TRUE(ini.WriteArray("User", "Two", four, 2, "|;|"));
    ASSERT_TRUE(ini.WriteArray("User", "All", four, -1));
    ASSERT_TRUE(ini.WriteArray("User", "Many", four, 99));
    ASSERT_TRUE(ini.WriteArray("User", "None", four, 0));
    EXPECT_EQ(ini.GetString("User", "Two", ""), "one|;|two");
    EXPECT_EQ(ini.GetString("User", "All", ""), "one,two,three,four");
    EXPECT_EQ(ini.GetString("User", "Many", ""), "one,two,three,four");
    EXPECT_EQ(ini.GetString("User", "None", "d"), "");

    // An item holding the delimiter comes back in pieces; "|;|" keeps commas.
    ASSERT_TRUE(ini.WriteArray("User", "Cmd", {"x = [1, 2]", "disp(x)"}, -1, ","));
    Items items;
    ini.GetArray("User", "Cmd", items, ",");
    EXPECT_EQ(items, (Items{"x = [1", "2]", "disp(x)"}));
    ASSERT_TRUE(ini.WriteArray("User", "Cmd", {"x = [1, 2]", "disp(x)"}, -1, "|;|"));
    ini.GetArray("User", "Cmd", items, "|;|");
    EXPECT_EQ(items, (Items{"x = [1, 2]", "disp(x)"}));

    // Well past the 511-character read buffer of the original.
    Items big;
    for (int i = 0; i < 300; ++i)
        big.push_back("/home/user/folder" + std::to_string(i));
    ASSERT_TRUE(ini.WriteArray("User", "Paths", big));
    ini.GetArray("User", "Paths", items);
    EXPECT_EQ(items, big);
}
