// The documentation pane with the whole program: "doc" typed in the command
// window shows the page and leaves the keys in the command window.
#include <QApplication>
#include <QDockWidget>

#include "main/app/ckestruneapp.h"
#include "main/console/ckestruneview.h"
#include "main/frame/ccommandids.h"
#include "main/frame/cmainframe.h"
#include "main/session/csessionevents.h"
#include "platform/cprofile.h"
#include "tests/main/console/kestrunetestsupport.h"

using kestrunetest::WaitFor;

TEST(DocumentationWithApp, DocStatementShowsThePaneAndTheKeysStayInTheCommandWindow)
{
    CProfile(QStringLiteral("Kestrune")).WriteInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 0);
    CKestruneApp app;
    CKestruneApp::Options options;
    options.splash = false;
    options.listen = false;
    ASSERT_TRUE(app.Start(options));
    app.Frame()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app.Frame()));
    app.View()->setFocus();
    QDockWidget* pane = app.Frame()->Pane(PaneId::Documentation);
    pane->hide();
    app.Events().DocumentationShow("plot");
    ASSERT_TRUE(WaitFor([&] { return pane->isVisible(); }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(QApplication::focusWidget(), app.View());
}
