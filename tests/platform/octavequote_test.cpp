#include "platform/octavequote.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

TEST(OctaveQuoteTest, DoublesEveryQuote)
{
    std::string literal;
    ASSERT_TRUE(OctaveQuote("it's; system('x')", literal));
    EXPECT_EQ(literal, "'it''s; system(''x'')'");
    ASSERT_TRUE(OctaveQuote("", literal));
    EXPECT_EQ(literal, "''");
    ASSERT_TRUE(OctaveQuote("''", literal));
    EXPECT_EQ(literal, "''''''");
    EXPECT_EQ(OctaveQuoted("/home/a b/f.m"), "'/home/a b/f.m'");
}

TEST(OctaveQuoteTest, RefusesLineBreaksAndNul)
{
    std::string literal = "unchanged";
    std::string error;
    EXPECT_FALSE(OctaveQuote("a\nb", literal, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(literal, "unchanged");
    EXPECT_FALSE(OctaveQuote("a\rb", literal));
    EXPECT_FALSE(OctaveQuote(std::string("a\0b", 3), literal));
    EXPECT_EQ(literal, "unchanged");
    EXPECT_EQ(OctaveQuoted("x\ny"), "");
}

// The literal must reach the real interpreter as data: printed back exactly,
// and the embedded statement never runs.
TEST(OctaveQuoteTest, RealOctavePrintsTheTextBack)
{
    const QString octave = QStandardPaths::findExecutable(QStringLiteral("octave"));
    if (octave.isEmpty())
        GTEST_SKIP() << "octave is not installed";
    const QString marker = QDir::tempPath() + QStringLiteral("/quote-marker");
    QFile::remove(marker);
    const std::vector<std::string> texts = {
        "it's; system('touch " + marker.toStdString() + "')",
        "/home/a user/it's here/f.m",
        "\"double\" % # ... ; , ]",
        "''",
        "tab\there caf\xc3\xa9",
    };
    std::string program;
    std::string expected;
    for (const std::string& text : texts) {
        std::string literal;
        ASSERT_TRUE(OctaveQuote(text, literal));
        program += "disp(" + literal + "); ";
        expected += text + "\n";
    }
    QProcess process;
    process.start(octave, {QStringLiteral("--no-gui"), QStringLiteral("--quiet"), QStringLiteral("--no-init-file"),
                           QStringLiteral("--eval"), QString::fromStdString(program)});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), expected);
    EXPECT_FALSE(QFile::exists(marker));
}
