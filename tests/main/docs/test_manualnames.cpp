#include "main/docs/manualnames.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace ManualNames;

namespace {

const QString Manual = QStringLiteral("/usr/share/doc/octave/octave.html");

bool Matches(const QString& text, const QString& line)
{
    const QRegularExpression re(SearchPattern(text), QRegularExpression::CaseInsensitiveOption);
    return re.isValid() && re.match(line).hasMatch();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

TEST(ManualNames, NamesAreEncodedSoTheyStayInTheFolder)
{
    EXPECT_EQ(EncodeName("a_b"), QString("a_005fb"));
    EXPECT_EQ(EncodeName("../x"), QString("_002e_002e_002fx"));
    EXPECT_EQ(Title("XREFa_005fb.html"), QString("a_b"));
    EXPECT_EQ(Title("Two_002dDimensional-Plots.html"), QString("Two Dimensional Plots"));
    EXPECT_EQ(Title("doc_002d_003ccode_003eplus_003c_002fcode_003e.html"), QString("plus"));
    EXPECT_EQ(Title("fig_003aconvhull.html"), QString("convhull"));
    EXPECT_TRUE(IsFunctionEntry("XREFplot.html") && IsFunctionEntry("doc_002dplot.html"));
    EXPECT_FALSE(IsFunctionEntry("Basic-Usage.html"));
}

TEST(ManualNames, StubTargetsAreReadWhereverTheyStandAndStayInside)
{
    if (!QFile::exists(Manual + "/index.html"))
        GTEST_SKIP() << "octave-doc is not installed";
    EXPECT_EQ(FindManualFolder("/usr/bin"), Manual);
    EXPECT_EQ(StubPath(Manual, "OCTAVE_HOME"), Manual + "/XREFOCTAVE_005fHOME.html");
    EXPECT_TRUE(StubPath(Manual, "../octave.html/XREFplot").isEmpty());
    const QUrl plot = StubTarget(StubPath(Manual, "plot"));
    EXPECT_EQ(plot.toLocalFile(), Manual + "/Two_002dDimensional-Plots.html");
    EXPECT_EQ(plot.fragment(), QString("XREFplot"));

    QTemporaryDir dir;
    const QString d = dir.path();
    Write(d + "/XREFesc.html", "<html>\n<meta content=\"0; url=A%20Page.html#x\">\n");
    Write(d + "/XREFout.html", "<meta content=\"0; url=../elsewhere.html\">");
    Write(d + "/XREFnone.html", "<html></html>");
    EXPECT_EQ(StubTarget(d + "/XREFesc.html").toLocalFile(), d + "/A Page.html");
    EXPECT_FALSE(StubTarget(d + "/XREFout.html").isValid());
    EXPECT_FALSE(StubTarget(d + "/XREFnone.html").isValid());
    EXPECT_FALSE(StubTarget(d + "/missing.html").isValid());
}

TEST(ManualNames, SearchTextsBecomeSafePatterns)
{
    EXPECT_TRUE(Matches("plot(", "see plot(x)"));
    EXPECT_FALSE(Matches("plot(", "see plot x"));
    EXPECT_FALSE(Matches("a.b", "axb"));
    EXPECT_TRUE(Matches("plot or line", "a LINE here"));
    EXPECT_TRUE(Matches("pl*t", "pl--t"));
    EXPECT_TRUE(Matches("p?ot", "pxot"));
    EXPECT_TRUE(Matches("and", "band"));
}
