#include "editor/app/creplacedlg.h"
#include "editor/app/csearchhistory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Sci = QsciScintillaBase;

class ReplaceDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        editor = std::make_unique<QsciScintilla>();
        dialog = std::make_unique<CReplaceDlg>(editor.get(), finds, replaces);
        dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    }

    void SetText(const char* text, long caret = 0)
    {
        editor->SendScintilla(Sci::SCI_SETTEXT, static_cast<uintptr_t>(0), text);
        editor->SendScintilla(Sci::SCI_GOTOPOS, caret);
    }

    QByteArray Text() const { return editor->text().toUtf8(); }
    long SelStart() const { return editor->SendScintilla(Sci::SCI_GETSELECTIONSTART); }
    long SelEnd() const { return editor->SendScintilla(Sci::SCI_GETSELECTIONEND); }
    void Select(long from, long to) { editor->SendScintilla(Sci::SCI_SETSEL, from, to); }
    void Search(const QString& text, const QString& replacement = QString())
    {
        dialog->FindBox()->setEditText(text);
        dialog->ReplaceBox()->setEditText(replacement);
    }

    CSearchHistory finds{QStringLiteral("FINDSTRING")};
    CSearchHistory replaces{QStringLiteral("REPLACESTRING")};
    std::unique_ptr<QsciScintilla> editor;
    std::unique_ptr<CReplaceDlg> dialog;
};

TEST_F(ReplaceDlgTest, FindNextWalksForwardWithoutWrapping)
{
    SetText("abc xabc abc");
    Search("abc");
    ASSERT_TRUE(dialog->FindNext());
    EXPECT_EQ(SelStart(), 0);
    EXPECT_EQ(SelEnd(), 3);
    EXPECT_EQ(editor->SendScintilla(Sci::SCI_GETCURRENTPOS), 3);
    ASSERT_TRUE(dialog->FindNext());
    EXPECT_EQ(SelStart(), 5);
    ASSERT_TRUE(dialog->FindNext());
    EXPECT_EQ(SelStart(), 9);
    // The end: nothing found, the last match stays selected.
    EXPECT_FALSE(dialog->FindNext());
    EXPECT_EQ(SelStart(), 9);
    EXPECT_EQ(SelEnd(), 12);
}

TEST_F(ReplaceDlgTest, AdjacentMatchesAreAllFound)
{
    // A match that starts right at the caret (or ends right at the selection
    // start, backwards) must not be skipped.
    SetText("aaa");
    Search("a");
    for (long expected : {0, 1, 2}) {
        ASSERT_TRUE(dialog->FindNext());
        EXPECT_EQ(SelStart(), expected);
    }
    EXPECT_FALSE(dialog->FindNext());
    for (long expected : {1, 0}) {
        ASSERT_TRUE(dialog->FindPrevious());
        EXPECT_EQ(SelStart(), expected);
    }
    EXPECT_FALSE(dialog->FindPrevious());
}

TEST_F(ReplaceDlgTest, FindPreviousWalksBackward)
{
    SetText("abc abc abc", 11);
    Search("abc");
    ASSERT_TRUE(dialog->FindPrevious());
    EXPECT_EQ(SelStart(), 8);
    ASSERT_TRUE(dialog->FindPrevious());
    EXPECT_EQ(SelStart(), 4);
    ASSERT_TRUE(dialog->FindPrevious());
    EXPECT_EQ(SelStart(), 0);
    EXPECT_FALSE(dialog->FindPrevious());
}

TEST_F(ReplaceDlgTest, WholeWordAndMatchCase)
{
    SetText("concat Cat cat");
    Search("cat");
    ASSERT_TRUE(dialog->FindNext());
    EXPECT_EQ(SelStart(), 3);  // inside "concat", any case

    SetText("concat Cat cat");
    dialog->WholeWord()->setChecked(true);
    ASSERT_TRUE(dialog->FindNext());
    EXPECT_EQ(SelStart(), 7);  // "Cat": whole word, case ignored

    SetText("concat Cat cat");
    dialog->MatchCase()->setChecked(true);
    ASSERT_TRUE(dialog->FindNext());
    EXPECT_EQ(SelStart(), 11);
    EXPECT_EQ(dialog->SearchFlags(), Sci::SCFIND_WHOLEWORD | Sci::SCFIND_MATCHCASE);
}

TEST_F(ReplaceDlgTest, RegularExpressionsFindAndReplaceWithGroups)
{
    SetText("x1 y22 z333");
    dialog->RegularExpression()->setChecked(true);
    Search("[0-9]+");
    ASSERT_TRUE(dialog->FindNext());
    EXPECT_EQ(editor->selectedText(), QStringLiteral("1"));
    ASSERT_TRUE(dialog->FindNext());
    EXPECT_EQ(editor->selectedText(), QStringLiteral("22"));

    // Literal text without the option: the pattern is not found.
    dialog->RegularExpression()->setChecked(false);
    SetText("x1 y22 z333");
    EXPECT_FALSE(dialog->FindNext());

    dialog->RegularExpression()->setChecked(true);
    Search("\\([a-z]\\)\\([0-9]+\\)", "\\2\\1");
    EXPECT_EQ(dialog->ReplaceAll(), 3);
    EXPECT_EQ(Text(), QByteArray("1x 22y 333z"));
}

TEST_F(ReplaceDlgTest, ReplaceReplacesTheSelectionAndFindsTheNext)
{
    SetText("foo bar foo");
    Search("foo", "baz");
    ASSERT_TRUE(dialog->FindNext());
    ASSERT_TRUE(dialog->Replace());
    EXPECT_EQ(Text(), QByteArray("baz bar foo"));
    // The next match is selected, ready for the next Replace.
    EXPECT_EQ(SelStart(), 8);
    EXPECT_EQ(SelEnd(), 11);
    ASSERT_TRUE(dialog->Replace());
    EXPECT_EQ(Text(), QByteArray("baz bar baz"));
    EXPECT_EQ(replaces.Entries(), QStringList{QStringLiteral("baz")});
}

TEST_F(ReplaceDlgTest, ReplaceAllInSelectionOnlyTouchesTheSelection)
{
    SetText("a a a\na a a\na a a");
    Select(6, 11);  // the second line
    dialog->InSelection()->setChecked(true);
    Search("a", "bb");
    EXPECT_EQ(dialog->ReplaceAll(), 3);
    EXPECT_EQ(Text(), QByteArray("a a a\nbb bb bb\na a a"));
    // The selection follows the longer text.
    EXPECT_EQ(SelStart(), 6);
    EXPECT_EQ(SelEnd(), 14);

    // With the option on, the single-step buttons are off and do nothing.
    EXPECT_FALSE(dialog->findChild<QPushButton*>("findNext")->isEnabled());
    EXPECT_FALSE(dialog->findChild<QPushButton*>("replace")->isEnabled());
    EXPECT_FALSE(dialog->FindNext());
    dialog->InSelection()->setChecked(false);
    EXPECT_TRUE(dialog->findChild<QPushButton*>("findPrevious")->isEnabled());
}

TEST_F(ReplaceDlgTest, ReplaceAllInWholeTextAndOddPatternsEnd)
{
    SetText("aXa aXa");
    Search("a", "aa");  // the replacement holds the search text
    EXPECT_EQ(dialog->ReplaceAll(), 4);
    EXPECT_EQ(Text(), QByteArray("aaXaa aaXaa"));

    SetText("abc");
    dialog->RegularExpression()->setChecked(true);
    Search("x*", "-");  // matches the empty text everywhere
    const int count = dialog->ReplaceAll();
    EXPECT_GT(count, 0);
    EXPECT_TRUE(Text().contains("a") && Text().contains("c"));

    SetText("abc");
    Search("", "z");
    EXPECT_EQ(dialog->ReplaceAll(), 0);
    EXPECT_EQ(Text(), QByteArray("abc"));
}

TEST_F(ReplaceDlgTest, HistoriesFillTheBoxesNewestFirst)
{
    finds.Add(QStringLiteral("old"));
    finds.Add(QStringLiteral("newer"));
    dialog->Fill(QStringLiteral("word"));
    ASSERT_EQ(dialog->FindBox()->count(), 2);
    EXPECT_EQ(dialog->FindBox()->itemText(0), QStringLiteral("newer"));
    EXPECT_EQ(dialog->FindBox()->currentText(), QStringLiteral("word"));
    EXPECT_EQ(dialog->ReplaceBox()->currentText(), QStringLiteral("word"));

    SetText("word old word");
    ASSERT_TRUE(dialog->FindNext());
    ASSERT_TRUE(dialog->FindNext());
    // Searched once more: still one entry, at the top of the list.
    EXPECT_EQ(finds.Entries(), (QStringList{"old", "newer", "word"}));
    EXPECT_EQ(dialog->FindBox()->itemText(0), QStringLiteral("word"));

    // A selection over several lines is not put into the boxes.
    dialog->Fill(QStringLiteral("two\nlines"));
    EXPECT_TRUE(dialog->FindBox()->currentText().isEmpty());
}

}  // namespace
