// The main frame: panes and their tab groups, the Window menu, the toolbar
// and its combo boxes across resets, looks, the remembered message box and
// the splash.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QToolBar>

#include "controls/cmessagebox.h"
#include "controls/csplashwnd.h"
#include "main/frame/ccommandids.h"
#include "main/frame/cmainframe.h"
#include "main/frame/cstatusdisplay.h"
#include "main/frame/cstatuspane.h"
#include "main/frame/ctoolbarcustomizedialog.h"
#include "platform/cprofile.h"
#include "tests/main/console/kestrunetestsupport.h"

namespace {

QStringList Captions(const QList<QDockWidget*>& panes)
{
    QStringList captions;
    for (QDockWidget* pane : panes)
        captions << pane->windowTitle();
    captions.sort();
    return captions;
}

TEST(MainFrame, EightPanesInTwoTabGroups)
{
    CMainFrame frame(true);
    frame.show();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral(" - Kestrune"));
    EXPECT_EQ(frame.Panes().size(), 8);
    QDockWidget* files = frame.Pane(PaneId::Files);
    QDockWidget* variables = frame.Pane(PaneId::VariableEditor);
    ASSERT_TRUE(files && variables);
    EXPECT_EQ(files->windowTitle(), QStringLiteral("Current Directory"));
    EXPECT_EQ(Captions(frame.tabifiedDockWidgets(files)),
              (QStringList{QStringLiteral("Command History"), QStringLiteral("Workspace")}));
    EXPECT_EQ(Captions(frame.tabifiedDockWidgets(variables)),
              (QStringList{QStringLiteral("Comparison Tool"), QStringLiteral("Documentation"),
                           QStringLiteral("Editor / Debuger"), QStringLiteral("Profiler")}));
    EXPECT_EQ(frame.dockWidgetArea(files), Qt::LeftDockWidgetArea);
    EXPECT_EQ(frame.dockWidgetArea(variables), Qt::BottomDockWidgetArea);
}

TEST(MainFrame, WindowMenuShowsPanesWithControlDigits)
{
    CMainFrame frame(true);
    frame.show();
    QDockWidget* profiler = frame.Pane(PaneId::Profiler);
    profiler->hide();
    QAction* action = frame.Action(CommandId::WindowProfiler);
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_5));
    action->trigger();
    EXPECT_TRUE(profiler->isVisible());
    EXPECT_EQ(frame.Action(CommandId::WindowCommand)->text(), QStringLiteral("Commnand Window"));
    EXPECT_EQ(frame.Action(CommandId::WindowEditor)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_8));
}

TEST(MainFrame, AShownPaneTakesTheKeysInItsFirstControl)
{
    CMainFrame frame(true);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    auto* content = new QWidget;
    auto* label = new QLabel(QStringLiteral("Code:"), content);
    auto* box = new QLineEdit(content);
    auto* layout = new QHBoxLayout(content);
    layout->addWidget(label);
    layout->addWidget(box);
    frame.SetPaneWidget(PaneId::Profiler, content);
    frame.Action(CommandId::WindowProfiler)->trigger();
    ASSERT_TRUE(QApplication::focusWidget());
    QTest::keyClicks(QApplication::focusWidget(), "x");
    EXPECT_EQ(box->text(), QStringLiteral("x"));
}

TEST(MainFrame, SeparateEditorHasNoEditorPane)
{
    CMainFrame frame(false);
    EXPECT_EQ(frame.Panes().size(), 7);
    EXPECT_FALSE(frame.HasEditorPane());
    EXPECT_FALSE(frame.ShowPane(PaneId::Editor));
    frame.Action(CommandId::WindowEditor)->trigger();  // nothing to show, nothing breaks
}

TEST(MainFrame, ToolbarResetRestoresBothComboBoxes)
{
    CMainFrame frame(true);
    frame.show();
    QComboBox* help = frame.HelpCombo();
    QComboBox* folders = frame.DirectoryCombo();
    folders->addItem(QStringLiteral("/tmp"));
    help->addItem(QStringLiteral("plot"));
    // The user removes everything, then resets.
    frame.SetToolBarLayout({CommandId::Open});
    EXPECT_EQ(frame.ToolBarLayout(), QList<int>{CommandId::Open});
    CToolbarCustomizeDialog dialog(&frame);
    dialog.Reset();
    EXPECT_EQ(frame.ToolBarLayout(), CMainFrame::DefaultToolBarLayout());
    EXPECT_EQ(frame.HelpCombo(), help);
    EXPECT_EQ(frame.DirectoryCombo(), folders);
    EXPECT_EQ(folders->itemText(0), QStringLiteral("/tmp"));
    EXPECT_EQ(help->itemText(0), QStringLiteral("plot"));
    EXPECT_TRUE(help->isVisibleTo(&frame));
    EXPECT_TRUE(folders->isVisibleTo(&frame));
    // Unticking a command in the dialog removes it from the toolbar.
    for (int i = 0; i < dialog.List()->count(); ++i) {
        if (dialog.List()->item(i)->data(Qt::UserRole).toInt() == CommandId::Print)
            dialog.List()->item(i)->setCheckState(Qt::Unchecked);
    }
    dialog.Apply();
    EXPECT_FALSE(frame.ToolBarLayout().contains(CommandId::Print));
    EXPECT_TRUE(frame.ToolBarLayout().contains(CommandId::DirectoryPlaceholder));
}

TEST(MainFrame, ApplicationLookIsStored)
{
    CMainFrame frame(true);
    frame.Action(216)->trigger();
    EXPECT_EQ(frame.CurrentLook(), 216);
    EXPECT_TRUE(frame.Action(216)->isChecked());
    EXPECT_FALSE(frame.Action(214)->isChecked());
    EXPECT_EQ(CProfile(QStringLiteral("Kestrune")).GetInt(QStringLiteral("General"), QStringLiteral("ApplicationLook"), 0), 216);
    CMainFrame again(true);
    EXPECT_EQ(again.CurrentLook(), 216);
    again.ApplyLook(214);
}

TEST(MainFrame, PanesAndWindowAreWhereTheLastSessionLeftThem)
{
    {
        CMainFrame frame(true);
        frame.show();
        frame.ApplyLayout();
        frame.resize(900, 650);
        frame.Pane(PaneId::Workspace)->close();
        frame.Pane(PaneId::Documentation)->setFloating(true);
        ASSERT_TRUE(frame.close());
    }
    CMainFrame again(true);
    again.show();
    again.ApplyLayout();
    EXPECT_EQ(again.size(), QSize(900, 650));
    EXPECT_FALSE(again.Pane(PaneId::Workspace)->isVisible());
    EXPECT_TRUE(again.Pane(PaneId::Documentation)->isFloating());
    CProfile profile(QStringLiteral("Kestrune"));
    for (const char* key : {"Geometry", "Panes"})
        profile.WriteString(QStringLiteral("Layout"), QString::fromLatin1(key), QString());
}

TEST(MainFrame, StatusPanesShowTheirLongestTextsWhole)
{
    CMainFrame frame(true);
    frame.show();
    const std::pair<int, const char*> texts[] = {{1, "Disconnected"}, {1, "Connecting..."}, {3, "Profile time: 00:00:00"}};
    for (const auto& [pane, text] : texts) {
        frame.StatusPane(pane)->SetText(QString::fromLatin1(text));
        QApplication::processEvents();
        const QList<QLabel*> labels = frame.StatusPane(pane)->findChildren<QLabel*>();
        ASSERT_EQ(labels.size(), 2);
        EXPECT_GE(labels[1]->width(), labels[1]->sizeHint().width()) << text;
    }
}

TEST(MessageBox, RemembersDontAskAgainPerMessage)
{
    CMessageBox::Forget(QStringLiteral("test-key"));
    kestrunetest::ModalAnswerer answer(QMessageBox::No, true);
    EXPECT_EQ(CMessageBox::ShowRemembered(nullptr, QStringLiteral("test-key"), QStringLiteral("Proceed?"),
                                          QString(), QMessageBox::Yes | QMessageBox::No, QMessageBox::Question),
              QMessageBox::No);
    EXPECT_EQ(answer.texts.size(), 1);
    EXPECT_EQ(CMessageBox::ShowRemembered(nullptr, QStringLiteral("test-key"), QStringLiteral("Proceed?"),
                                          QString(), QMessageBox::Yes | QMessageBox::No, QMessageBox::Question),
              QMessageBox::No);
    EXPECT_EQ(answer.texts.size(), 1) << "answered from XMessageBox.ini";
    EXPECT_TRUE(CMessageBox::IniPath().endsWith(QStringLiteral("/XMessageBox.ini")));
    EXPECT_TRUE(QFile::exists(CMessageBox::IniPath()));
    CMessageBox::Forget(QStringLiteral("test-key"));
    EXPECT_EQ(CMessageBox::RememberedAnswer(QStringLiteral("test-key")), QMessageBox::NoButton);
}

TEST(Splash, ShowsTheVersion)
{
    CSplashWnd splash(QStringLiteral("Kestrune"), QStringLiteral("Version ") + QApplication::applicationVersion());
    EXPECT_EQ(splash.Text(), QStringLiteral("Version 1.0.0"));
    EXPECT_FALSE(splash.pixmap().isNull());
}

TEST(StatusDisplay, ProfileTimeCountsWithinTheDay)
{
    EXPECT_EQ(CStatusDisplay::FormatProfileTime(0), QStringLiteral("Profile time: 00:00:00"));
    EXPECT_EQ(CStatusDisplay::FormatProfileTime(3661), QStringLiteral("Profile time: 01:01:01"));
    EXPECT_EQ(CStatusDisplay::FormatProfileTime(86400 + 59), QStringLiteral("Profile time: 00:00:59"));
}

}  // namespace

KESTRUNE_WIDGET_TEST_MAIN()
