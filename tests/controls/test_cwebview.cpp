#include "controls/cwebview.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

// Loads url into view and waits for the load to end; false on timeout.
static bool LoadAndWait(CWebView& view, const QUrl& url)
{
    QSignalSpy done(&view, &QWebEngineView::loadFinished);
    view.load(url);
    return done.wait(20000);
}

TEST(CWebView, HookSeesLinkClicksAndCancelsThoseItHandled)
{
    CWebView view;
    view.resize(400, 300);
    QList<QUrl> seen;
    view.SetBeforeNavigate([&](const QUrl& url) {
        seen << url;
        return url.fileName() == QLatin1String("handled.html");
    });
    ASSERT_TRUE(CWebView::SetPrivatePage("start.html", "<html><body>start</body></html>"));
    ASSERT_TRUE(CWebView::SetPrivatePage("other.html", "<html><body>other</body></html>"));
    ASSERT_TRUE(LoadAndWait(view, CWebView::PrivatePageUrl("start.html")));

    // A cancelled navigation keeps the page shown.
    view.page()->runJavaScript("location.href='handled.html'");
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 2, 10000);
    QTest::qWait(300);
    EXPECT_EQ(view.url().fileName(), QString("start.html"));

    ASSERT_TRUE(CWebView::SetPrivatePage("start.html", "<html><body>again</body></html>"));
    QSignalSpy done(&view, &QWebEngineView::loadFinished);
    view.page()->runJavaScript("location.href='other.html'");
    ASSERT_TRUE(done.wait(20000));
    EXPECT_EQ(view.url().fileName(), QString("other.html"));
}

TEST(CWebView, PrivatePagesStayInTheirFolder)
{
    EXPECT_FALSE(CWebView::SetPrivatePage("../escape.html", "x"));
    EXPECT_FALSE(CWebView::SetPrivatePage("", "x"));
    ASSERT_TRUE(CWebView::SetPrivatePage("page.html", QString::fromUtf8("\xc3\xa9")));
    QFile file(CWebView::PrivatePageUrl("page.html").toLocalFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xc3\xa9"));
}
