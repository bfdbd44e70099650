// The profile parser, call tree, report and link reading, without windows.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <fstream>
#include <sstream>

#include "main/profiler/cprofilelink.h"
#include "main/profiler/cprofileloader.h"
#include "main/profiler/cprofilereport.h"

namespace {

// A dump of Octave 7.3 (profile of svd, rand and an anonymous function),
// shortened.
const char* const kDump =
    "<|><#>.FunctionTable(1)<|>rand<#>.FunctionTable(2)<|>svd<#>.FunctionTable(3)<|>@<anonymous><#>"
    ".FunctionTable(4)<|>binary <<#>.FunctionTable(5)<|>profile<#>.FunctionTable(6)<|>nargin<#>"
    ".Hierarchical(1)<|>1<|>0.000247<|>0.000247<|>3<|>0<#>"
    ".Hierarchical(2)<|>2<|>0.021641<|>0.021641<|>3<|>0<#>"
    ".Hierarchical(3)<|>3<|>8.1062e-06<|>1.2875e-05<|>1<|>1<#>"
    ".Hierarchical(3).Children<|>4<|>4.7684e-06<|>4.7684e-06<|>1<|>0<#>"
    ".Hierarchical(4)<|>5<|>6.485e-05<|>7.7963e-05<|>1<|>2<#>"
    ".Hierarchical(4).Children(1)<|>4<|>5.0068e-06<|>5.0068e-06<|>1<|>0<#>"
    ".Hierarchical(4).Children(2)<|>6<|>0<|>0<|>1<|>0<#>";

std::string Clean(const std::string& dump)
{
    CProfileNodes table;
    std::ostringstream out;
    CProfileLoader::WriteHierarchy(0, out, CProfileLoader::Parse(dump, table));
    return out.str();
}

std::vector<std::string> Names(const CProfileNodes& rows)
{
    std::vector<std::string> names;
    for (const CProfileNode& row : rows)
        names.push_back(row.functionName);
    return names;
}

QUrl LinkUrl(const std::string& href)
{
    return QUrl::fromLocalFile("/tmp/k dir/Kestrune_Prof.html").resolved(QUrl(QString::fromStdString(href)));
}

}  // namespace

TEST(ProfilerLoader, CleanTextKeysNodesByPathWithCommaTimes)
{
    EXPECT_EQ(Clean(kDump), "0<|>Root<|>0<|>0<|><|>0<#>"
                            "1<|>rand<|>0,000247<|>0,000247<|>3<|>0<#>"
                            "2<|>svd<|>0,021641<|>0,021641<|>3<|>0<#>"
                            "3<|>@<anonymous><|>8,1062e-06<|>1,2875e-05<|>1<|>1<#>"
                            "3,4<|>binary <<|>4,7684e-06<|>4,7684e-06<|>1<|>0<#>"
                            "5<|>profile<|>6,485e-05<|>7,7963e-05<|>1<|>2<#>"
                            "5,4<|>binary <<|>5,0068e-06<|>5,0068e-06<|>1<|>0<#>"
                            "5,6<|>nargin<|>0<|>0<|>1<|>0<#>");
    // One top-level node (no "(1)") and one function (no "(1)" either).
    EXPECT_EQ(Clean("<|><#>.FunctionTable<|>svd<#>.Hierarchical<|>1<|>0.5<|>0.5<|>1<|>0<#>"),
              "0<|>Root<|>0<|>0<|><|>0<#>1<|>svd<|>0,5<|>0,5<|>1<|>0<#>");
}

TEST(ProfilerLoader, BadRecordsAreSkippedWithTheirSubtrees)
{
    // Index 9 is outside the table; a node with too few fields; their
    // children must not end up under another caller.
    const std::string dump = "<|><#>.FunctionTable(1)<|>a<#>.FunctionTable(2)<|>b<#>"
                             ".Hierarchical(1)<|>9<|>1<|>1<|>1<|>1<#>"
                             ".Hierarchical(1).Children<|>2<|>1<|>1<|>1<|>0<#>"
                             ".Hierarchical(2)<|>1<|>1<|>1<#>"
                             ".Hierarchical(2).Children<|>2<|>1<|>1<|>1<|>0<#>"
                             ".Hierarchical(3)<|>2<|>1<|>2<|>1<|>0<#>";
    EXPECT_EQ(Clean(dump), "0<|>Root<|>0<|>0<|><|>0<#>2<|>b<|>1<|>2<|>1<|>0<#>");
}

TEST(ProfilerLoader, LoadDeletesBothFilesAndKeepsOldTextOnFailure)
{
    QTemporaryDir dir;
    const std::string data = dir.filePath("prof_Hierarchical.txt").toStdString();
    const std::string clean = dir.filePath("prof_Hierarc_clean.txt").toStdString();
    std::ofstream(data) << kDump;
    CProfileNodes table;
    std::string text;
    ASSERT_TRUE(CProfileLoader::Load(data, clean, table, text));
    EXPECT_EQ(text, Clean(kDump));
    EXPECT_EQ(table.size(), 6u);
    EXPECT_EQ(table[3].index, "4");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(data)));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(clean)));

    // A clean file that cannot be created: text and table stay as they were.
    std::ofstream(data) << "<|><#>.FunctionTable<|>x<#>.Hierarchical<|>1<|>1<|>1<|>1<|>0<#>";
    EXPECT_FALSE(CProfileLoader::Load(data, dir.filePath("no/such/dir/c.txt").toStdString(), table, text));
    EXPECT_EQ(text, Clean(kDump));
    EXPECT_EQ(table.size(), 6u);
    // No data file at all.
    EXPECT_FALSE(CProfileLoader::Load(data, clean, table, text));
    EXPECT_EQ(text, Clean(kDump));
}

TEST(ProfilerReport, RowsOfALevelLeaveOutRootAndOwnHelpers)
{
    const std::string clean = Clean(kDump) + "7<|>GetProfStatus<|>5<|>5<|>1<|>0<#>8<|>short<|>1<#>";
    double sum = 0;
    CProfileNodes rows = CProfileReport::SelectRows(clean, "", &sum);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"rand", "svd", "@<anonymous>"}));
    EXPECT_DOUBLE_EQ(sum, 0.000247 + 0.021641 + 1.2875e-05);
    rows = CProfileReport::SelectRows(clean, "5,", &sum);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"binary <", "nargin"}));
    EXPECT_EQ(rows[0].index, "4");
}

TEST(ProfilerReport, SortModes)
{
    const CProfileNodes base = {{"1", "b", "0,5", "0,5", "2", "0"},
                                {"2", "a", "0,01", "2", "10", "0"},
                                {"3", "c", "1,5", "1,5", "9", "0"}};
    const std::vector<std::pair<int, std::vector<std::string>>> cases = {
        {-1, {"a", "c", "b"}}, {0, {"a", "c", "b"}}, {1, {"a", "b", "c"}},
        {2, {"a", "c", "b"}},  {3, {"c", "b", "a"}}, {7, {"b", "a", "c"}}};
    for (const auto& [mode, expected] : cases) {
        CProfileNodes rows = base;
        CProfileReport::SortRows(rows, mode);
        EXPECT_EQ(Names(rows), expected) << "mode " << mode;
    }
}

TEST(ProfilerReport, TimesAndBars)
{
    EXPECT_EQ(CProfileReport::DisplayTime("0"), "0.000");
    EXPECT_EQ(CProfileReport::DisplayTime("0,00123"), "0.001");
    EXPECT_EQ(CProfileReport::DisplayTime("12,98765"), "12.987");
    EXPECT_EQ(CProfileReport::DisplayTime("3"), "3");
    EXPECT_EQ(CProfileReport::DisplayTime("1,2e-05"), "0.000");
    EXPECT_EQ(CProfileReport::DisplayTime("2,5e+01"), "25.000");
    EXPECT_DOUBLE_EQ(CProfileReport::TimeValue("0,5"), 0.5);
    EXPECT_DOUBLE_EQ(CProfileReport::TimeValue("1,2e-05"), 1.2e-05);
    const std::string zero = CProfileReport::Bar(0, 0, 0);
    EXPECT_NE(zero.find("width:0px"), std::string::npos);
    EXPECT_NE(zero.find("width:0%"), std::string::npos);
    const std::string full = CProfileReport::Bar(2, 0.5, 2);
    EXPECT_NE(full.find("width:99px"), std::string::npos);  // 100 * 2 / (2 + 1e-9) cut
    EXPECT_NE(full.find("width:25%"), std::string::npos);
}

TEST(ProfilerReport, NamesAreEscapedAndLinksRoundTrip)
{
    const std::string clean = "0<|>Root<|>0<|>0<|><|>0<#>3<|>@<anonymous> & \"x\"<|>0,5<|>1<|>2<|>1<#>";
    CProfileReport::Input input;
    input.cleanText = &clean;
    const std::string page = CProfileReport::Render(input);
    EXPECT_EQ(page.find("@<anon"), std::string::npos);
    EXPECT_NE(page.find("@&lt;anonymous&gt; &amp; &quot;x&quot;</a>"), std::string::npos);
    const std::size_t at = page.find("href=\"function_");
    ASSERT_NE(at, std::string::npos);
    const std::size_t end = page.find('"', at + 6);
    const CProfileLink link = CProfileLink::FromUrl(LinkUrl(page.substr(at + 6, end - at - 6)));
    EXPECT_EQ(link.kind, CProfileLink::Descend);
    EXPECT_EQ(link.key, "3");
    EXPECT_EQ(link.description, "@<anonymous> & \"x\": 2 calls, 0.5 self, 1 total");
}

TEST(ProfilerReport, LinksAreReadByTheirLastSegmentOnly)
{
    EXPECT_EQ(CProfileLink::FromUrl(LinkUrl("sortby_calls")).sortMode, CProfileReport::ByCalls);
    EXPECT_EQ(CProfileLink::FromUrl(LinkUrl("sortby_function")).sortMode, CProfileReport::ByFunction);
    const CProfileLink back = CProfileLink::FromUrl(LinkUrl("backfunction_3"));
    EXPECT_EQ(back.kind, CProfileLink::Back);
    EXPECT_EQ(back.count, 3);
    const CProfileLink named = CProfileLink::FromUrl(LinkUrl("function_4&sortby_calls%3A%201%20calls"));
    EXPECT_EQ(named.kind, CProfileLink::Descend);
    EXPECT_EQ(named.description, "sortby_calls: 1 calls");
    EXPECT_EQ(CProfileLink::FromUrl(LinkUrl("Kestrune_Prof.html")).kind, CProfileLink::None);
}

TEST(ProfilerReport, HeadingAndTrailFollowTheNavigation)
{
    const CProfileNodes table = {{"1", "outer", "", "", "", ""}, {"2", "mid", "", "", "", ""},
                                 {"3", "leaf", "", "", "", ""}};
    const std::string clean = "0<|>Root<|>0<|>0<|><|>0<#>1<|>outer<|>1<|>3<|>1<|>1<#>1,2<|>mid<|>1<|>2<|>1<|>1<#>"
                              "1,2,3<|>leaf<|>1<|>1<|>1<|>0<#>2<|>mid<|>0<|>0<|>1<|>0<#>";
    CProfileNavigation nav;
    nav.Descend("1", "outer: 1 calls");
    nav.Descend("2", "mid <b>");
    CProfileReport::Input input{&clean, &table, &nav, 0, "08-Dec-2026 07:00:00", "00:00:03"};
    CProfileNodes rows;
    const std::string page = CProfileReport::Render(input, &rows);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"leaf"}));
    EXPECT_NE(page.find("<a href=\"backfunction_2\">Home</a> >> <a href=\"backfunction_1\">outer</a> >> <b>mid</b>"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("text-indent:1em;margin:0;padding:0;\">mid &lt;b&gt;</p>"), std::string::npos);
    EXPECT_NE(page.find("Generated 08-Dec-2026 07:00:00. Total time 00:00:03."), std::string::npos);

    // Back keeps the trail for Forward; a new descent replaces the tail.
    ASSERT_TRUE(nav.Back());
    EXPECT_EQ(nav.LevelPrefix(), "1,");
    ASSERT_TRUE(nav.Forward());
    EXPECT_EQ(nav.LevelPrefix(), "1,2,");
    nav.Back();
    nav.Descend("9", "other");
    EXPECT_EQ(nav.Trail(), (std::vector<std::string>{"outer: 1 calls", "other"}));
    EXPECT_FALSE(nav.CanForward());
}
