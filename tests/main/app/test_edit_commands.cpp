// The Edit menu's Cut, Copy and Paste act on the control with the keys, and
// on the command window when it has them.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QSignalSpy>
#include <QWebEngineView>

#include "controls/cgridctrl.h"
#include "tests/main/app/activeapp.h"
#include "main/console/ckestruneview.h"
#include "main/frame/ccommandids.h"
#include "main/frame/cmainframe.h"
#include "tests/main/console/kestrunetestsupport.h"

using kestrunetest::WaitFor;

TEST(EditCommandsWithApp, CopyAndPasteFollowTheFocusAndTheCommandWindowKeepsItsOwn)
{
    CKestruneApp app;
    ASSERT_TRUE(kestrunetest::StartActive(app));
    QAction* copy = app.Frame()->Action(CommandId::Copy);
    QAction* paste = app.Frame()->Action(CommandId::Paste);
    app.View()->appendPlainText(QStringLiteral("command output"));

    // Cells selected in the variable editor's grid.
    ASSERT_TRUE(app.Frame()->ShowPane(PaneId::VariableEditor));
    auto* grid = app.Frame()->Pane(PaneId::VariableEditor)->findChild<CGridCtrl*>();
    ASSERT_TRUE(grid);
    grid->Model()->Reset(2, 2);
    grid->Model()->SetCellText(0, 0, QStringLiteral("7"));
    grid->Model()->SetCellText(0, 1, QStringLiteral("8"));
    grid->setFocus();
    ASSERT_TRUE(WaitFor([&] { return QApplication::focusWidget() == grid; }, 2000));
    grid->FocusCell(0, 0);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    app.View()->selectAll();
    copy->trigger();
    EXPECT_EQ(QApplication::clipboard()->text().trimmed(), QStringLiteral("7\t8"));

    // Pasted into a line edit in a pane, not at the command line.
    ASSERT_TRUE(app.Frame()->ShowPane(PaneId::Documentation));
    auto* search = app.Frame()->Pane(PaneId::Documentation)->findChild<QComboBox*>();
    ASSERT_TRUE(search && search->lineEdit());
    search->setFocus();
    ASSERT_TRUE(WaitFor([&] { return search->hasFocus(); }, 2000));
    search->clearEditText();
    const QString commandText = app.View()->toPlainText();
    QApplication::clipboard()->setText(QStringLiteral("quiver"));
    paste->trigger();
    EXPECT_EQ(search->currentText(), QStringLiteral("quiver"));
    EXPECT_EQ(app.View()->toPlainText(), commandText);

    // A page copies its selection.
    ASSERT_TRUE(app.Frame()->ShowPane(PaneId::Profiler));
    auto* page = app.Frame()->Pane(PaneId::Profiler)->findChild<QWebEngineView*>();
    ASSERT_TRUE(page);
    QSignalSpy loaded(page, &QWebEngineView::loadFinished);
    page->setHtml(QStringLiteral("<p>page words</p>"));
    ASSERT_TRUE(loaded.wait(10000));
    page->setFocus();
    ASSERT_TRUE(WaitFor([&] { return page->isAncestorOf(QApplication::focusWidget()) || page->hasFocus(); }, 2000));
    page->triggerPageAction(QWebEnginePage::SelectAll);
    ASSERT_TRUE(WaitFor([&] { return page->hasSelection(); }, 5000));
    copy->trigger();
    EXPECT_TRUE(WaitFor([] { return QApplication::clipboard()->text() == QStringLiteral("page words"); }, 5000))
        << QApplication::clipboard()->text().toStdString();

    // With the command window focused, its selection is copied.
    app.View()->setFocus();
    ASSERT_TRUE(WaitFor([&] { return app.View()->hasFocus(); }, 2000));
    app.View()->selectAll();
    copy->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("command output")));
}
