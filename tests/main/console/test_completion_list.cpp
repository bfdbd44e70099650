// Tab completion in the command window with the interpreter's real answers:
// the list, its keys, narrowing and where it opens.
#include <QListWidget>

#include "main/app/ckestruneapp.h"
#include "main/console/ccompletionlist.h"
#include "main/console/ckestruneview.h"
#include "platform/cprofile.h"
#include "tests/main/console/kestrunetestsupport.h"

using kestrunetest::WaitFor;

namespace {

class Completion : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CProfile(QStringLiteral("Kestrune")).WriteInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 1);
        s_app = new CKestruneApp;
        CKestruneApp::Options options;
        options.splash = false;
        options.listen = false;
        s_app->Start(options);
    }
    static void TearDownTestSuite() { delete s_app; }

    void SetUp() override
    {
        ASSERT_TRUE(WaitFor([] { return s_app->IsConnected() && !View()->isReadOnly(); }, 30000));
        List()->hide();
        View()->ClearWindow(false);
        View()->setFocus();
    }

    static CKestruneView* View() { return s_app->View(); }
    static CCompletionList* List() { return View()->CompletionList(); }
    void Type(const QString& text) { QTest::keyClicks(View(), text); }
    void Key(int key) { QTest::keyClick(View(), static_cast<Qt::Key>(key)); }
    bool ListShows(const QString& prefix)
    {
        return WaitFor([&] {
            View()->FlushPending();
            if (!List()->isVisible() || List()->Entries().isEmpty())
                return false;
            for (const QString& entry : List()->Entries())
                if (!entry.startsWith(prefix))
                    return false;
            return true;
        });
    }

    static CKestruneApp* s_app;
};

CKestruneApp* Completion::s_app = nullptr;

TEST_F(Completion, ListSelectsNarrowsAcceptsAndHides)
{
    Type(QStringLiteral("pl"));
    Key(Qt::Key_Tab);
    ASSERT_TRUE(ListShows(QStringLiteral("pl")));
    const QStringList entries = List()->Entries();
    EXPECT_TRUE(entries.contains(QStringLiteral("plot")) && entries.contains(QStringLiteral("plot3")));
    QStringList sorted = entries;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(entries, sorted);
    EXPECT_EQ(List()->height(), CCompletionList::kRowHeight * entries.size() + 5);
    EXPECT_EQ(List()->Selected(), entries.first());
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Up);
    EXPECT_EQ(List()->Selected(), entries.at(1));
    EXPECT_TRUE(View()->hasFocus()) << "typing stays in the command line";

    // Another letter asks again with the longer token.
    Type(QStringLiteral("ot"));
    ASSERT_TRUE(ListShows(QStringLiteral("plot")));
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("plot"));
    Key(Qt::Key_Down);
    const QString chosen = List()->Selected();
    Key(Qt::Key_Return);
    EXPECT_FALSE(List()->isVisible());
    EXPECT_EQ(View()->CommandLine(), chosen) << "Enter accepts, it does not run the line";

    // Esc hides and leaves the line alone.
    Type(QStringLiteral(" + pl"));
    Key(Qt::Key_Tab);
    ASSERT_TRUE(ListShows(QStringLiteral("pl")));
    Key(Qt::Key_Escape);
    EXPECT_FALSE(List()->isVisible());
    EXPECT_EQ(View()->CommandLine(), chosen + QStringLiteral(" + pl"));

    Type(QStringLiteral(" + is"));
    Key(Qt::Key_Tab);
    ASSERT_TRUE(ListShows(QStringLiteral("is")));
    ASSERT_GT(List()->Entries().size(), CCompletionList::kMaxRows);
    EXPECT_EQ(List()->height(), CCompletionList::kRowHeight * CCompletionList::kMaxRows + 5) << "ten rows at most";
}

TEST_F(Completion, UniquePrefixCompletesAtOnceInTheMiddleOfTheLine)
{
    Type(QStringLiteral("x = linspac(0, 1)"));
    for (int i = 0; i < 6; ++i)
        Key(Qt::Key_Left);
    Key(Qt::Key_Tab);
    ASSERT_TRUE(WaitFor([] { return View()->CommandLine() == QStringLiteral("x = linspace(0, 1)"); }))
        << View()->CommandLine().toStdString();
    EXPECT_FALSE(List()->isVisible());
    EXPECT_EQ(View()->textCursor().position(), View()->Text().size()) << "the caret goes to the end";
}

TEST_F(Completion, ChangedLineIsLeftAloneOnAccept)
{
    Type(QStringLiteral("pl"));
    Key(Qt::Key_Tab);
    ASSERT_TRUE(ListShows(QStringLiteral("pl")));
    // Something else puts text before the token while the list is open.
    QTextCursor before(View()->document());
    before.setPosition(View()->InputStart());
    before.insertText(QStringLiteral("ab"));
    Key(Qt::Key_Return);
    EXPECT_FALSE(List()->isVisible());
    EXPECT_EQ(View()->CommandLine(), QStringLiteral("abpl"));
}

TEST_F(Completion, OpensAboveTheCaretNearTheBottom)
{
    Type(QStringLiteral("disp((1:80)')"));
    Key(Qt::Key_Return);
    ASSERT_TRUE(WaitFor([] {
        View()->FlushPending();
        return View()->Text().endsWith(QStringLiteral("80\n>> "));
    }));
    Type(QStringLiteral("pl"));
    Key(Qt::Key_Tab);
    ASSERT_TRUE(ListShows(QStringLiteral("pl")));
    const QRect caret = View()->cursorRect().translated(View()->viewport()->geometry().topLeft());
    EXPECT_LE(List()->geometry().bottom(), caret.top());
    EXPECT_GE(List()->geometry().top(), 0);
}

}  // namespace
