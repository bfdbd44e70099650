#include "diff/cdiffreport.h"
#include "diff/ccomparisonrun.h"
#include "tests/diff/difftesthelpers.h"

#include <gtest/gtest.h>

#include <QUrl>

#include <unistd.h>

using difftest::Partition;
using difftest::ReadFile;
using difftest::TempDir;
using difftest::WriteFile;

namespace {

std::string Report(const std::vector<std::string>& a, const std::vector<std::string>& b,
                   const std::string& name1 = "a.txt", const std::string& name2 = "b.txt")
{
    CFilePartition left, right;
    CFilePartition::Compare(Partition(a, COptionList(), name1), Partition(b, COptionList(), name2), left, right);
    return CDiffReport::Build(left, right, "T1", "T2");
}

std::string Escaped(const std::string& text)
{
    std::string out;
    CDiffReport::AppendEscapedLine(out, text);
    return out;
}

int Occurrences(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

// The page for a small pair, byte for byte, with the times given.
TEST(DiffReport, GoldenPage)
{
    const std::string data = std::string(KESTRUNE_SOURCE_DIR) + "/tests/diff/data/";
    TempDir dir;
    const std::string output = dir / "report.html";
    std::vector<std::string> messages;
    // Relative names as a user would type them.
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(data.c_str()), 0);
    const auto result = CComparisonRun::Run(
        "left.txt", "right.txt", output, COptionList(),
        [&](const std::string& m) { messages.push_back(m); },
        [](const std::string& path) { return "TIME of " + path; });
    ASSERT_EQ(chdir(previous), 0);
    ASSERT_EQ(result, CComparisonRun::Written);
    EXPECT_TRUE(messages.empty());
    // Links name the files absolutely; the page is otherwise the same anywhere.
    std::string page = ReadFile(output);
    for (size_t at; (at = page.find("href=\"" + data)) != std::string::npos;)
        page.erase(at + 6, data.size());
    EXPECT_EQ(page, ReadFile(data + "golden.html"));
}

TEST(DiffReport, IdenticalAndEmpty)
{
    const std::string same = Report({"x", "y"}, {"x", "y"});
    EXPECT_NE(same.find("<font size=\"2\" face=\"verdana\">Files are identical.</font>"), std::string::npos);
    EXPECT_EQ(same.find("class="), std::string::npos);
    EXPECT_EQ(same.find("<br>empty files"), std::string::npos);

    const std::string empty = Report({}, {});
    EXPECT_NE(empty.find("Files are identical."), std::string::npos);
    EXPECT_NE(empty.find("<br>empty files</BODY>\r\n</HTML>\r\n"), std::string::npos);
    EXPECT_EQ(empty.find("maintable"), std::string::npos);
}

TEST(DiffReport, DifferencesAnchorsAndLineNumbers)
{
    // A changed line directly followed by a deleted line: two differences.
    CFilePartition left, right;
    CFilePartition::Compare(Partition({"a", "b", "c", "d"}), Partition({"a", "B", "d"}), left, right);
    EXPECT_EQ(CDiffReport::CountDifferences(left, right), 2);
    const std::string twice = CDiffReport::Build(left, right, "", "");
    EXPECT_NE(twice.find(">2 differences found.</font><hr>"), std::string::npos);
    EXPECT_NE(twice.find("<tr><td width=50% class='C'><a name=1 href=\"&nbsp;fileline2\"><b>2 </b></a> b</td>"
                         "<td width=50% class='C'><a href=\"&nbsp;fileline2\"><b>2 </b></a> B</td></tr>\n"
                         "<tr><td width=50% class='D'><a name=2 href=\"&nbsp;fileline3\"><b>3 </b></a> c</td>"
                         "<td width=50%>&nbsp;- </td></tr>\n"),
              std::string::npos);

    // Three added lines: the left numbering goes on as if they were not there,
    // and every row of the run carries the run's anchor.
    const std::string added = Report({"a", "b"}, {"a", "x", "y", "z", "b"});
    EXPECT_EQ(Occurrences(added, "<tr><td width=50%><a name=1>&nbsp;- </a></td><td width=50% class='A'>"), 3);
    EXPECT_NE(added.find("<tr><td width=50%><b>2 </b> b</td><td width=50%><b>5 </b> b</td></tr>\n"),
              std::string::npos);
    EXPECT_NE(added.find(">1 differences found."), std::string::npos);
}

TEST(DiffReport, LineEscaping)
{
    EXPECT_EQ(Escaped(""), "&nbsp;");
    EXPECT_EQ(Escaped("a<b & c"), "a&lt;b &amp; c");
    EXPECT_EQ(Escaped("\t  x\t y>"), "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;x\t y&gt;");
    EXPECT_EQ(Escaped("   "), "&nbsp;&nbsp;&nbsp;");
    EXPECT_EQ(Escaped(std::string("a\0b", 3)), "a&#65533;b");
    // The page is UTF-8: a Latin-1 line keeps its characters, a UTF-8 line stays as it is.
    EXPECT_EQ(Escaped("caf\xE9 \xFF<"), "caf\xC3\xA9 \xC3\xBF&lt;");
    EXPECT_EQ(Escaped("caf\xC3\xA9 \xE2\x82\xAC"), "caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Escaped("\"q'"), "\"q'");
}

// Names go into the page escaped, and each link gives the name back whole.
TEST(DiffReport, NamesAreEscapedAndLinksDecodeToThePath)
{
    const std::string name1 = "/tmp/my <dir>/a&b \"x\" 'y' 50%#1?.m";
    const std::string page = Report({"1"}, {"2"}, name1, "plain.m");
    EXPECT_EQ(page.find("<dir>"), std::string::npos);
    EXPECT_NE(page.find("<TITLE> Comparison Tool - /tmp/my &lt;dir&gt;/a&amp;b &quot;x&quot; &#39;y&#39; 50%#1?.m"
                        "&nbsp;vs plain.m</TITLE>"),
              std::string::npos);
    const std::string href = "<a href=\"/tmp/my &lt;dir&gt;/a&amp;b &quot;x&quot; &#39;y&#39; 50%25%231%3F.m"
                             "&nbsp;fileline0\">";
    EXPECT_NE(page.find(href), std::string::npos);

    // What the comparison view does with the page: split at "href=", read up
    // to "&nbsp;", decode.
    const size_t at = page.find("href=") + 5;
    EXPECT_EQ(CDiffReport::DecodeHref(std::string_view(page).substr(at, page.find("&nbsp;", at) - at)), name1);
    EXPECT_EQ(CDiffReport::DecodeHref("a%2"), "a%2");

    // What a browser does: decode the attribute, resolve the URL, and the
    // viewer percent-decodes it again.
    std::string attribute = CDiffReport::EscapeHref(name1) + "&nbsp;fileline12";
    for (const auto& [entity, plain] : std::vector<std::pair<std::string, std::string>>{
             {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", "\xc2\xa0"}, {"&amp;", "&"}}) {
        for (size_t at = attribute.find(entity); at != std::string::npos; at = attribute.find(entity, at))
            attribute.replace(at, entity.size(), plain);
    }
    const QUrl url = QUrl(QStringLiteral("file:///")).resolved(QUrl(QString::fromUtf8(attribute.c_str())));
    EXPECT_EQ(url.path(QUrl::FullyDecoded).toStdString(), name1 + "\xc2\xa0" "fileline12");
}

TEST(DiffReport, LongTimeFormat)
{
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(CDiffReport::FormatLongTime(1614834367), "Thursday, March 04, 2021 05:06:07");
    EXPECT_EQ(CDiffReport::FormatLongTime(0), "Thursday, January 01, 1970 00:00:00");
}
