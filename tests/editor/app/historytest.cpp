#include "editor/csearchhistory.h"
#include "tests/editor/app/editortesthelpers.h"
#include "platform/cprofile.h"

#include <gtest/gtest.h>

namespace {

class SearchHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { ClearEditorSettings(); }

    void Store(const QStringList& entries)
    {
        profile.WriteInt("EDIT", "FINDSTRINGCOUNT", int(entries.size()));
        for (int i = 0; i < entries.size(); ++i)
            profile.WriteString("EDIT", QStringLiteral("FINDSTRING%1").arg(i), entries.at(i));
    }

    CProfile profile{QStringLiteral("Marlinote")};
};

QStringList Numbered(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list.append(QStringLiteral("entry %1").arg(i));
    return list;
}

TEST_F(SearchHistoryTest, ReadsAtMostHundredAndDropsBlankEntries)
{
    Store(Numbered(120));
    CSearchHistory history(QStringLiteral("FINDSTRING"));
    history.Read(profile);
    ASSERT_EQ(history.Entries().size(), 100);
    EXPECT_EQ(history.Entries().first(), QStringLiteral("entry 0"));
    EXPECT_EQ(history.Entries().last(), QStringLiteral("entry 99"));

    Store({QStringLiteral("   "), QStringLiteral("  lead"), QString(), QStringLiteral("plain")});
    history.Read(profile);
    EXPECT_EQ(history.Entries(), (QStringList{"lead", "plain"}));
}

TEST_F(SearchHistoryTest, EntriesAddedToAFullListSurviveTheNextStart)
{
    Store(Numbered(120));
    CSearchHistory history(QStringLiteral("FINDSTRING"));
    history.Read(profile);
    EXPECT_TRUE(history.Add(QStringLiteral("new one")));
    EXPECT_FALSE(history.Add(QStringLiteral("entry 5")));  // already listed
    EXPECT_TRUE(history.Add(QStringLiteral("new two")));
    history.Write(profile);

    CSearchHistory next(QStringLiteral("FINDSTRING"));
    next.Read(profile);
    ASSERT_EQ(next.Entries().size(), 100);
    EXPECT_EQ(next.Entries().at(98), QStringLiteral("new one"));
    EXPECT_EQ(next.Entries().at(99), QStringLiteral("new two"));
    // The oldest made room.
    EXPECT_EQ(next.Entries().first(), QStringLiteral("entry 2"));
}

TEST_F(SearchHistoryTest, ReplaceHistoryIsKeptApart)
{
    CSearchHistory finds(QStringLiteral("FINDSTRING"));
    CSearchHistory replaces(QStringLiteral("REPLACESTRING"));
    finds.Add(QStringLiteral("f"));
    replaces.Add(QStringLiteral("r1"));
    replaces.Add(QStringLiteral("r2"));
    finds.Write(profile);
    replaces.Write(profile);
    EXPECT_EQ(profile.GetInt("EDIT", "REPLACESTRINGCOUNT", -1), 2);
    EXPECT_EQ(profile.GetString("EDIT", "REPLACESTRING1"), QStringLiteral("r2"));
    EXPECT_EQ(profile.GetInt("EDIT", "FINDSTRINGCOUNT", -1), 1);
}

}  // namespace
