// The documentation pane with the whole program: "doc" typed in the command
// window shows the page and leaves the keys in the command window.
#include <QApplication>
#include <QDockWidget>

#include "tests/main/app/activeapp.h"
#include "main/console/ckestruneview.h"
#include "main/frame/ccommandids.h"
#include "main/frame/cmainframe.h"
#include "main/session/csessionevents.h"
#include "tests/main/console/kestrunetestsupport.h"

using kestrunetest::WaitFor;

TEST(DocumentationWithApp, DocStatementShowsThePaneAndTheKeysStayInTheCommandWindow)
{
    CKestruneApp app;
    ASSERT_TRUE(kestrunetest::StartActive(app));
    app.View()->setFocus();
    QDockWidget* pane = app.Frame()->Pane(PaneId::Documentation);
    pane->hide();
    app.Events().DocumentationShow("plot");
    ASSERT_TRUE(WaitFor([&] { return pane->isVisible(); }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(QApplication::focusWidget(), app.View());
}
