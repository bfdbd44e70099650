#include "main/docs/cdocumentationview.h"

#include "controls/cwebview.h"
#include "main/docs/cmanualsearch.h"
#include "main/session/csessionevents.h"
#include "tests/support/csessionharness.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <QWebEnginePage>

#include <algorithm>

namespace {

const QString Manual = QStringLiteral("/usr/share/doc/octave/octave.html");

// The file names a search of the view listed.
QSet<QString> Listed(const QTreeWidget* list)
{
    QSet<QString> names;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        names << list->topLevelItem(i)->text(1);
    return names;
}

// The pages whose text holds all of words (lower case), found without any
// regular expression; with any true, one of them is enough.
QSet<QString> PagesWith(const QStringList& words, bool any)
{
    QSet<QString> names;
    for (const QString& name : QDir(Manual).entryList({"*.html"}, QDir::Files)) {
        QFile file(Manual + "/" + name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll()).toLower();
        const auto has = [&](const QString& w) { return text.contains(w); };
        if (any ? std::any_of(words.begin(), words.end(), has) : std::all_of(words.begin(), words.end(), has))
            names << name;
    }
    return names;
}

class DocumentationView : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFile::exists(Manual + "/index.html"))
            GTEST_SKIP() << "octave-doc is not installed";
        view = std::make_unique<CDocumentationView>(events, Manual);
        view->resize(900, 600);
        view->show();
        ASSERT_TRUE(WaitForSearch());
        ASSERT_TRUE(WaitForPage("index.html"));
    }

    bool WaitForSearch()
    {
        return QTest::qWaitFor([&] { return !view->IsSearching(); }, 20000);
    }
    bool WaitForPage(const QString& fileName, const QString& fragment = QString())
    {
        return QTest::qWaitFor(
            [&] {
                const QUrl url = view->WebView()->url();
                return url.fileName() == fileName && url.fragment() == fragment;
            },
            20000);
    }
    QSet<QString> SearchFor(const QString& text)
    {
        view->Search(text);
        EXPECT_TRUE(WaitForSearch());
        return Listed(view->ResultList());
    }

    CSessionEvents events;
    std::unique_ptr<CDocumentationView> view;
};

}  // namespace

TEST_F(DocumentationView, DocStatementOpensTheEntryAtItsAnchor)
{
    QSignalSpy shown(view.get(), &CDocumentationView::showPaneRequested);
    events.DocumentationShow("plot");
    ASSERT_TRUE(WaitForPage("Two_002dDimensional-Plots.html", "XREFplot"));
    EXPECT_EQ(shown.count(), 1);
    ASSERT_TRUE(WaitForSearch());
    ASSERT_NE(view->ResultList()->currentItem(), nullptr);
    EXPECT_EQ(view->ResultList()->currentItem()->text(1), QString("XREFplot.html"));
    EXPECT_EQ(view->BackList().value(0), QUrl::fromLocalFile(Manual + "/index.html").toString());

    // An underscore name is looked up as its encoded stub.
    view->ShowDocumentation("OCTAVE_HOME");
    ASSERT_TRUE(WaitForPage("System-Information.html", "XREFOCTAVE_005fHOME"));

    // Back and forward walk the pane's own lists.
    view->Back();
    ASSERT_TRUE(WaitForPage("Two_002dDimensional-Plots.html", "XREFplot"));
    view->Forward();
    ASSERT_TRUE(WaitForPage("System-Information.html", "XREFOCTAVE_005fHOME"));

    // A "See also" link to an anchor of the same page: Back returns to
    // where the link was followed.
    view->ShowDocumentation("sin");
    ASSERT_TRUE(WaitForPage("Trigonometry.html", "XREFsin"));
    view->WebView()->page()->runJavaScript("document.querySelector('a[href=\"#XREFsinh\"]').click()");
    ASSERT_TRUE(WaitForPage("Trigonometry.html", "XREFsinh"));
    view->Back();
    ASSERT_TRUE(WaitForPage("Trigonometry.html", "XREFsin"));
    view->Forward();
    ASSERT_TRUE(WaitForPage("Trigonometry.html", "XREFsinh"));

    // A name that climbs out of the manual finds no entry: the index shows.
    view->ShowDocumentation("../octave.html/XREFplot");
    ASSERT_TRUE(WaitForPage("index.html"));
    ASSERT_TRUE(WaitForSearch());
}

TEST_F(DocumentationView, StubLinksAreFollowedWithoutEnteringTheLists)
{
    view->WebView()->load(QUrl::fromLocalFile(Manual + "/XREFsin.html"));
    ASSERT_TRUE(WaitForPage("Trigonometry.html", "XREFsin"));
    EXPECT_FALSE(view->BackList().join(' ').contains("XREF"));
    EXPECT_TRUE(view->ForwardList().isEmpty());

    // A figure's stub too: Back leaves its page instead of landing on the
    // stub, which sent the browser straight back.
    view->WebView()->load(QUrl::fromLocalFile(Manual + "/fig_003aplot3.html"));
    ASSERT_TRUE(WaitForPage("Three_002dDimensional-Plots.html", "fig_003aplot3"));
    EXPECT_FALSE(view->BackList().join(' ').contains("fig_003a"));
    view->Back();
    ASSERT_TRUE(WaitForPage("Trigonometry.html", "XREFsin"));
}

TEST_F(DocumentationView, SearchBoxEnterShowsTheTopic)
{
    QLineEdit* edit = view->SearchBox()->lineEdit();
    edit->setFocus();
    QTest::keyClicks(edit, "sin");
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(WaitForPage("Trigonometry.html", "XREFsin"));
    ASSERT_TRUE(WaitForSearch());

    // A click on a listed page opens it.
    QTreeWidget* list = view->ResultList();
    const auto rows = list->findItems("Trigonometry", Qt::MatchExactly, 0);
    ASSERT_FALSE(rows.isEmpty());
    view->WebView()->load(QUrl::fromLocalFile(Manual + "/index.html"));
    ASSERT_TRUE(WaitForPage("index.html"));
    list->scrollToItem(rows[0]);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(rows[0]).center());
    ASSERT_TRUE(WaitForPage("Trigonometry.html"));
    EXPECT_NE(view->BackList().value(1), view->BackList().value(0));
}

TEST_F(DocumentationView, KeysTypedIntoThePaneGoToTheSearchBox)
{
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    view->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "cos");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(WaitForPage("Trigonometry.html", "XREFcos"));
}

TEST_F(DocumentationView, SearchesListTheRightPages)
{
    EXPECT_EQ(SearchFor("plot and line"), PagesWith({"plot", "line"}, true));

    const QSet<QString> phrase = SearchFor("\"plot line\"");
    EXPECT_EQ(phrase, PagesWith({"plot line"}, false));
    // Some page has both words, but not in that order.
    EXPECT_LT(phrase.size(), PagesWith({"plot", "line"}, false).size());

    // Metacharacters stand for themselves.
    EXPECT_TRUE(SearchFor("plot(").isEmpty());
    EXPECT_EQ(SearchFor("a(:)"), PagesWith({"a(:)"}, false));

    QTest::mouseClick(view->FunctionsOnlyBox(), Qt::LeftButton);
    const QSet<QString> functions = SearchFor("plot");
    EXPECT_TRUE(functions.contains("XREFplot.html"));
    EXPECT_TRUE(std::all_of(functions.begin(), functions.end(), [](const QString& n) { return n.startsWith("XREF"); }));

    QTest::mouseClick(view->TitlesOnlyBox(), Qt::LeftButton);
    EXPECT_FALSE(view->FunctionsOnlyBox()->isChecked());
    const QSet<QString> titles = SearchFor("plot");
    EXPECT_TRUE(titles.contains("Two_002dDimensional-Plots.html"));
    EXPECT_TRUE(std::none_of(titles.begin(), titles.end(), [](const QString& n) { return n.startsWith("XREF"); }));
}

TEST(ManualSearch, ASecondSearchReplacesTheRunningOne)
{
    if (!QFile::exists(Manual + "/index.html"))
        GTEST_SKIP() << "octave-doc is not installed";
    CManualSearch search;
    QStringList found;
    QObject::connect(&search, &CManualSearch::found, [&](const QVector<CManualHit>& hits) {
        for (const CManualHit& hit : hits)
            found << hit.fileName;
    });
    QSignalSpy finished(&search, &CManualSearch::finished);
    search.Start({Manual, "the", false, false});
    search.Start({Manual, "XREFquadgk", true, false});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !search.IsRunning(); }, 20000));
    QTest::qWait(100);
    EXPECT_EQ(finished.count(), 1);
    // Only the second search reported: function entries naming quadgk.
    EXPECT_TRUE(found.contains("XREFquadgk.html"));
    EXPECT_TRUE(std::all_of(found.begin(), found.end(), [](const QString& n) { return n.startsWith("XREF"); }));
}

TEST(DocumentationViewLive, DocTypedInTheCommandWindowOpensThePage)
{
    if (!QFile::exists(Manual + "/index.html"))
        GTEST_SKIP() << "octave-doc is not installed";
    CSessionHarness session;
    ASSERT_TRUE(session.Start());
    CDocumentationView view(session.Events(), Manual);
    view.show();
    QSignalSpy shown(&view, &CDocumentationView::showPaneRequested);
    ASSERT_TRUE(session.QueueCommand("doc plot", true));
    ASSERT_TRUE(shown.wait(20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.WebView()->url().fragment() == "XREFplot"; }, 20000));
    // The interpreter never saw the statement and is still there to answer.
    ASSERT_TRUE(session.WaitIdle());
    std::string answer;
    ASSERT_TRUE(session.RunCollected("disp(6*7)", [&](bool, const std::string& text) { answer = text; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answer.empty(); }, 20000));
    EXPECT_NE(answer.find("42"), std::string::npos);
}


