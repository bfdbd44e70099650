#include "main/comparison/cdiffview.h"

#include "controls/cwebview.h"
#include "main/comparison/cdiffreportfacts.h"
#include "platform/ckestrunesettings.h"
#include "tests/support/cmodalanswerer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWebEnginePage>

namespace {

class DiffView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        view = std::make_unique<CDiffView>(QStringLiteral(KESTRUNE_BIN_DIR));
        view->resize(800, 600);
        view->show();
    }

    QString Write(const QString& name, const QByteArray& text)
    {
        const QString path = dir.path() + "/" + name;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }
    bool Compare(const QString& first, const QString& second)
    {
        return view->CompareAndShow(first, second) &&
               QTest::qWaitFor([&] { return !view->IsBusy(); }, 20000);
    }
    QString PageText()
    {
        QString text;
        bool done = false;
        view->WebView()->page()->toPlainText([&](const QString& t) {
            text = t;
            done = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
        return text;
    }
    bool WaitForText(const QString& part)
    {
        return QTest::qWaitFor([&] { return PageText().contains(part); }, 20000);
    }
    void RunScript(const QString& script) { view->WebView()->page()->runJavaScript(script); }

    QTemporaryDir dir;
    std::unique_ptr<CDiffView> view;
};

}  // namespace

TEST_F(DiffView, IdenticalFilesHaveNoDifferenceToStepTo)
{
    ASSERT_TRUE(WaitForText("Comparing Files and Folders"));
    const QString a = Write("a.m", "x = 1;\n");
    const QString b = Write("b.m", "x = 1;\n");
    ASSERT_TRUE(Compare(a, b));
    ASSERT_TRUE(WaitForText("Files are identical."));
    EXPECT_TRUE(view->IsReportShown());
    EXPECT_EQ(view->Differences(), 0);
    view->NextDifference();
    view->PreviousDifference();
    EXPECT_EQ(view->CurrentDifference(), 0);
    EXPECT_FALSE(view->WebView()->url().hasFragment());

    // Saving copies the report.
    const QString saved = dir.path() + "/saved.html";
    ASSERT_TRUE(view->SaveComparisonTo(saved));
    QFile copy(saved);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_TRUE(copy.readAll().contains("Files are identical."));

    // The save dialog opens in the working folder.
    CKestruneSettings settings = CKestruneSettings::fromSettings();
    settings.workPath = dir.path();
    settings.toSettings();
    CModalAnswerer cancel;
    view->SaveComparison();
    EXPECT_EQ(cancel.folders, QStringList{dir.path()});
}

TEST_F(DiffView, ThreeDifferencesWrapAroundByCommandAndKey)
{
    const QString a = Write("a.m", "1\n2\nx\n4\n5\n6\ny\n8\n9\n10\nz\n");
    const QString b = Write("b.m", "1\n2\nX\n4\n5\n6\nY\n8\n9\n10\nZ\n");
    ASSERT_TRUE(Compare(a, b));
    ASSERT_EQ(view->Differences(), 3);
    for (int i = 0; i < 3; ++i)
        view->NextDifference();
    EXPECT_EQ(view->CurrentDifference(), 3);
    view->NextDifference();
    EXPECT_EQ(view->CurrentDifference(), 1);
    view->PreviousDifference();
    EXPECT_EQ(view->CurrentDifference(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->WebView()->url().fragment() == "3"; }, 10000));

    // The keys reach the view through the page's own widget.
    QWidget* page = view->WebView()->focusProxy();
    ASSERT_NE(page, nullptr);
    QTest::keyClick(page, Qt::Key_Right);
    EXPECT_EQ(view->CurrentDifference(), 1);
    QTest::keyClick(page, Qt::Key_Up);
    EXPECT_EQ(view->CurrentDifference(), 3);
}

TEST_F(DiffView, LineLinksGoToTheEditorAndPathsWithBlanksRoundTrip)
{
    QByteArray first, second;
    for (int i = 1; i <= 14; ++i) {
        first += QByteArray::number(i) + "\n";
        second += (i == 12 ? QByteArray("twelve") : QByteArray::number(i)) + "\n";
    }
    const QString a = Write("my folder/a b.m", first);
    const QString b = Write("my folder/it's #2 & more.m", second);
    ASSERT_TRUE(Compare(a, b));
    EXPECT_EQ(view->FirstPath(), a);
    EXPECT_EQ(view->SecondPath(), b);
    EXPECT_EQ(view->Differences(), 1);
    ASSERT_TRUE(WaitForText("twelve"));

    QSignalSpy editor(view.get(), &CDiffView::editorTextRequested);
    QSignalSpy pane(view.get(), &CDiffView::editorPaneRequested);
    // The second file's link of line 12: the last link of that row.
    RunScript("var r = document.querySelectorAll('a[href$=\"fileline12\"]'); r[r.length - 1].click();");
    ASSERT_TRUE(editor.wait(10000));
    EXPECT_EQ(editor.at(0).at(0).toString(), "line 12 of file " + b);
    EXPECT_TRUE(editor.at(0).at(1).toBool());
    EXPECT_EQ(pane.count(), 1);

    // Anything outside the report stays out.
    RunScript("location.href = 'file://" + a + "';");
    QTest::qWait(500);
    EXPECT_EQ(view->WebView()->url().toLocalFile(), view->ReportPath());
}

TEST_F(DiffView, ACancelledOrFailedComparisonKeepsThePage)
{
    const QString a = Write("a.m", "1\n");
    const QString b = Write("b.m", "2\n");
    ASSERT_TRUE(Compare(a, b));
    ASSERT_TRUE(WaitForText("differences found"));
    // Select files without a display: kestrune-diff writes no report, as
    // after Cancel in its dialog.
    ASSERT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("offscreen"));
    view->ToolBar()->actions().at(0)->trigger();
    ASSERT_TRUE(view->IsBusy());
    EXPECT_FALSE(view->ToolBar()->actions().at(0)->isEnabled());
    EXPECT_FALSE(view->CompareAndShow(a, b)) << "a second comparison while one runs";
    bool closedAgain = false;
    EXPECT_TRUE(view->DeferClose([&] { closedAgain = true; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->IsBusy(); }, 20000));
    EXPECT_TRUE(closedAgain);
    EXPECT_FALSE(view->DeferClose([] {}));
    EXPECT_TRUE(PageText().contains("differences found"));
    EXPECT_FALSE(view->IsReportShown());
    EXPECT_EQ(view->Differences(), 0);

    // A comparison program that is not there changes nothing either.
    CDiffView lost(dir.path());
    EXPECT_TRUE(lost.CompareAndShow(a, b));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !lost.IsBusy(); }, 5000));
    EXPECT_FALSE(lost.IsReportShown());
}

TEST(DiffReportFacts, ReadsCountAndEscapedNames)
{
    CDiffReportFacts facts;
    EXPECT_FALSE(facts.Parse("<html>no links</html>"));
    ASSERT_TRUE(facts.Parse("<font>12 differences\r\n found.</font><a href=\"/a/x&amp;y%23.m&nbsp;fileline0\">"
                            "<a href=\"/b/&quot;q&quot;.m&nbsp;fileline0\"><a href=\"/a/x&nbsp;fileline3\">"));
    EXPECT_EQ(facts.differences, 12);
    EXPECT_EQ(facts.first, QString("/a/x&y#.m"));
    EXPECT_EQ(facts.second, QString("/b/\"q\".m"));
}
