#include "editor/app/cnewoctavefile.h"
#include "editor/core/octavetext.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <clocale>
#include <cstdlib>
#include <cstring>

using namespace OctaveText;

TEST(OctaveText, FirstWordEndsAtOperatorsAndBrackets)
{
    EXPECT_EQ(FirstWord("    if x > 1\n"), "if");
    EXPECT_EQ(FirstWord("\tend;"), "end");
    EXPECT_EQ(FirstWord("endif\r\n"), "endif");
    EXPECT_EQ(FirstWord("else % note"), "else");
    EXPECT_EQ(FirstWord("else% note"), "else%");  // % is not a word end
    EXPECT_EQ(FirstWord("switch(x)"), "switch");
    EXPECT_EQ(FirstWord("x.end = 2"), "x");
    EXPECT_EQ(FirstWord("   "), "");
    EXPECT_TRUE(IsClosingWord("end_try_catch"));
    EXPECT_TRUE(IsClosingWord("else") && IsOpeningWord("else"));
    EXPECT_FALSE(IsClosingWord("End"));  // case-sensitive
    EXPECT_FALSE(IsOpeningWord("endfunction"));
    EXPECT_TRUE(IsOpeningWord("unwind_protect"));
}

TEST(OctaveText, UncommentTakesTheRunOfMarksAndOneBlank)
{
    std::size_t start = 99;
    EXPECT_EQ(UncommentLength("  %% cell", &start), 3u);
    EXPECT_EQ(start, 2u);
    EXPECT_EQ(UncommentLength("###x", &start), 3u);
    EXPECT_EQ(UncommentLength("%#  two blanks", &start), 1u);  // only the same mark
    EXPECT_EQ(UncommentLength("x = 1; % tail", &start), 0u);
    EXPECT_EQ(UncommentLength("", &start), 0u);
    EXPECT_EQ(CommentPrefix(0), "# ");
    EXPECT_EQ(CommentPrefix(3), "%% ");
    EXPECT_EQ(CommentPrefix(7), "# ");
}

TEST(OctaveText, NumbersLoseTrailingZeros)
{
    EXPECT_EQ(FormatNumber(3.5), "3.5");
    EXPECT_EQ(FormatNumber(2.0), "2");
    EXPECT_EQ(FormatNumber(-0.25), "-0.25");
    EXPECT_EQ(FormatNumber(100), "100");
    EXPECT_EQ(FormatNumber(1e-9), "0");  // six decimals are kept
}

TEST(OctaveText, NumbersKeepTheirPointUnderACommaLocale)
{
    // The machine may have no German locale: build one for this test.
    QTemporaryDir locales;
    const QByteArray folder = locales.path().toLocal8Bit();
    ASSERT_EQ(std::system(("localedef -i de_DE -f UTF-8 " + folder + "/de_DE.UTF-8 2>/dev/null").constData()), 0);
    setenv("LOCPATH", folder.constData(), 1);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    const std::string text = FormatNumber(3.5);
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
    std::system(("chmod -R u+w " + folder).constData());  // localedef leaves read-only folders
    EXPECT_EQ(text, "3.5");
}

TEST(OctaveText, CellsCountLinesOfEveryLineEndStyle)
{
    const char text[] = "a\r\n%% one\rb\n  %% \n%%x\n%% two";
    const auto cells = FindCells(text, std::strlen(text));
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0].line, 2);
    EXPECT_EQ(cells[0].name, "one");
    EXPECT_EQ(cells[1].line, 4);
    EXPECT_EQ(cells[1].name, "cell 1");
    EXPECT_EQ(cells[2].line, 6);
    EXPECT_EQ(cells[2].name, "two");
    EXPECT_TRUE(FindCells("", 0).empty());
}

TEST(NewOctaveFileDialog, OkBuildsTheTextFromTheFields)
{
    CNewOctaveFile dialog;
    EXPECT_EQ(dialog.GetFunction(), QStringLiteral("foo"));
    EXPECT_TRUE(dialog.GetGeneratedText().isEmpty());
    NewFunctionFields fields = dialog.GetFields();
    EXPECT_EQ(fields.description, NewFunctionFields().description);
    fields.function = "bar";
    fields.description = "line one\nline two";
    dialog.SetFields(fields);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetGeneratedText().toStdString(), GenerateFunctionText(fields));
    EXPECT_TRUE(dialog.GetGeneratedText().contains(QLatin1String("## line one\n## line two\n")));
}
