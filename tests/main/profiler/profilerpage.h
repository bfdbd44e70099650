#pragma once

// Drives the report page of a profiler pane as a person would: clicks its
// links inside the browser and waits for the page the pane shows next.

#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "controls/cwebview.h"
#include "main/profiler/cprofileview.h"

namespace profilertest {

// Runs action and waits until the pane has shown a page, the browser has
// loaded the last page shown (a cancelled navigation ends with a load of its
// own first) and until holds.
inline void WaitForNextPage(CProfileView& view, const std::function<void()>& action,
                            const std::function<bool()>& until = [] { return true; }, int timeoutMs = 15000)
{
    QSignalSpy loaded(view.Browser(), &QWebEngineView::loadFinished);
    int loadsBefore = -1;
    QMetaObject::Connection c =
        QObject::connect(&view, &CProfileView::pageShown, [&] { loadsBefore = static_cast<int>(loaded.count()); });
    action();
    const bool ok = QTest::qWaitFor([&] { return until() && loadsBefore >= 0 && loaded.count() > loadsBefore; },
                                    timeoutMs);
    QObject::disconnect(c);
    ASSERT_TRUE(ok) << "no page shown";
}

// Clicks the first link that selector finds in the page.
inline void Click(CProfileView& view, const QString& selector)
{
    WaitForNextPage(view, [&] {
        auto found = std::make_shared<int>(-1);
        view.Browser()->page()->runJavaScript(
            QStringLiteral("(function(){var a=document.querySelector('%1'); if(!a) return false; "
                           "a.click(); return true;})()")
                .arg(selector),
            [found](const QVariant& result) { *found = result.toBool(); });
        ASSERT_TRUE(QTest::qWaitFor([&] { return *found != -1; }, 10000));
        ASSERT_EQ(*found, 1) << selector.toStdString();
    });
}

}  // namespace profilertest
