// The workspace pane and the variable editor on the real interpreter, driven
// with keys and the mouse on the offscreen platform.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDockWidget>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "controls/cgridctrl.h"
#include "controls/clistctrlex.h"
#include "main/workspace/cvariableeditview.h"
#include "main/workspace/cvariablesmodel.h"
#include "main/workspace/cvariableview.h"
#include "main/workspace/cworkspacedialogs.h"
#include "main/workspace/iworkspacedialogs.h"
#include "platform/ckestrunesettings.h"
#include "platform/cprofile.h"
#include "tests/main/console/kestrunetestsupport.h"
#include "tests/main/workspace/workspacesession.h"

using workspacetest::CWorkspaceSession;

namespace {

// Answers the pane's questions as a user would, and remembers them.
class ScriptedDialogs : public IWorkspaceDialogs {
public:
    QString SaveFileName(QWidget*) override { return savePath; }
    QString OpenFileName(QWidget*) override { return openPath; }
    bool AskText(QWidget*, const QString& title, const QString&, QString& text) override
    {
        titles << title;
        initial << text;
        text = answer;
        return textOk;
    }
    bool AskYesNo(QWidget*, const QString& question) override
    {
        questions << question;
        return yes;
    }
    void Tell(QWidget*, const QString& message) override { messages << message; }

    QString savePath, openPath, answer;
    bool textOk = true, yes = true;
    QStringList titles, initial, questions, messages;
};

CWorkspaceSession* g_session = nullptr;

// The panes as the main window holds them: the list in a pane of its own,
// the editor in a tab group with another pane. The panes go back to the
// test when it ends.
struct PaneLayout {
    PaneLayout(QWidget* list, QWidget* editor) : m_list(list), m_editor(editor)
    {
        auto* listPane = new QDockWidget(QStringLiteral("Workspace"), &window);
        listPane->setWidget(list);
        editorPane = new QDockWidget(QStringLiteral("Variable Editor"), &window);
        editorPane->setWidget(editor);
        otherPane = new QDockWidget(QStringLiteral("Documentation"), &window);
        otherPane->setWidget(new QLabel(QStringLiteral("a page")));
        window.setCentralWidget(new QLabel(QStringLiteral("commands")));
        window.addDockWidget(Qt::LeftDockWidgetArea, listPane);
        window.addDockWidget(Qt::BottomDockWidgetArea, editorPane);
        window.tabifyDockWidget(editorPane, otherPane);
        window.resize(1000, 700);
        window.show();
        window.activateWindow();
    }
    ~PaneLayout()
    {
        m_list->setParent(nullptr);
        m_editor->setParent(nullptr);
    }
    QMainWindow window;
    QDockWidget* editorPane;
    QDockWidget* otherPane;

private:
    QWidget* m_list;
    QWidget* m_editor;
};

class WorkspacePane : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_session = new CWorkspaceSession;
        ASSERT_TRUE(g_session->Start()) << g_session->Console();
    }
    static void TearDownTestSuite()
    {
        delete g_session;
        g_session = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(g_session);
        ASSERT_TRUE(session().Run("clear all; close all"));
        QSettings(QStringLiteral("Halvard"), QStringLiteral("WsTest")).clear();
        view = std::make_unique<CVariableView>(session(), session().events, CProfile(QStringLiteral("WsTest")));
        editor = std::make_unique<CVariableEditView>(session(), session().events, *view);
        view->SetDialogs(&dialogs);
        view->resize(900, 400);
        view->show();
        editor->resize(600, 400);
        editor->show();
        emit session().events.connectionChanged(true);
        session().sent.clear();
    }

    static CWorkspaceSession& session() { return *g_session; }

    // Runs the statements and waits until the list shows their effect.
    void Fill(const std::string& statements)
    {
        ASSERT_TRUE(session().Run(statements)) << session().Console();
        session().RequestWorkspaceRefresh();
        ASSERT_TRUE(session().Settle());
    }

    QAbstractItemView* list() const { return view->List(); }

    int RowOf(const std::string& name) const
    {
        const auto& rows = view->Model()->Variables();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].name == name)
                return int(i);
        return -1;
    }

    void Click(const std::string& name, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const int row = RowOf(name);
        ASSERT_GE(row, 0) << name;
        const QRect at = list()->visualRect(view->Model()->index(row, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, modifiers, at.center());
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key(key), modifiers);
    }

    std::string Cell(int row, int column) const
    {
        return editor->Grid()->Model()->CellText(row, column).toStdString();
    }

    // Runs what opens or reloads the editor and waits for the page.
    bool EditorLoads(const std::function<void()>& action)
    {
        const int loads = editor->LoadCount();
        action();
        return kestrunetest::WaitFor([&] { return editor->LoadCount() > loads; }, 30000) && session().Settle();
    }

    std::string Size(const std::string& name) { return session().Value("mat2str(size(" + name + "))"); }

    ScriptedDialogs dialogs;
    std::unique_ptr<CVariableView> view;
    std::unique_ptr<CVariableEditView> editor;
};

TEST_F(WorkspacePane, ListShowsKindsValuesAndStatistics)
{
    Fill("a=int8(ones(2,2,3)); s.x=1; c={1}; m=magic(4);");
    ASSERT_EQ(view->Model()->rowCount(), 4);
    struct Expected {
        const char* name;
        int kind;
        const char* value;
        const char* bytes;
    };
    for (const Expected& e : {Expected{"a", 1, "<2x2x3 int8>", "12"}, Expected{"s", 0, "<1x1 struct>", "8"},
                              Expected{"c", 3, "<1x1 cell>", "8"}, Expected{"m", 2, "<4x4 double>", "128"}}) {
        const int row = RowOf(e.name);
        ASSERT_GE(row, 0) << e.name;
        const CInfoVariable& v = view->Model()->Variables()[std::size_t(row)];
        EXPECT_EQ(v.kind, e.kind) << e.name;
        EXPECT_EQ(view->Model()->index(row, CVariablesModel::Value).data().toString().toStdString(), e.value);
        EXPECT_EQ(view->Model()->index(row, CVariablesModel::Bytes).data().toString().toStdString(), e.bytes);
        EXPECT_FALSE(view->Model()->index(row, 0).data(Qt::DecorationRole).isNull());
    }
    const int m = RowOf("m");
    const char* stats[] = {"1", "16", "8.5", "8.5", "1", "22.66", "4.76"};
    for (int column = CVariablesModel::Min; column <= CVariablesModel::Std; ++column)
        EXPECT_EQ(view->Model()->index(m, column).data().toString().left(int(strlen(stats[column - 2]))).toStdString(),
                  stats[column - 2]);
    EXPECT_TRUE(list()->isEnabled());
    emit session().events.connectionChanged(false);
    EXPECT_FALSE(list()->isEnabled());
}

TEST_F(WorkspacePane, SortsBytesNumericallyNamesByteWiseAndKeepsTheOrderOnRefill)
{
    Fill("b8=1; b16=[1 2]; b120=ones(1,15); B=1; a=1;");
    QHeaderView* header = view->List()->header();
    auto clickHeader = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    };
    auto column = [&](int c) {
        std::vector<std::string> texts;
        for (int row = 0; row < view->Model()->rowCount(); ++row)
            texts.push_back(view->Model()->index(row, c).data().toString().toStdString());
        return texts;
    };
    clickHeader(CVariablesModel::Bytes);
    const std::vector<std::string> bytes = column(CVariablesModel::Bytes);
    EXPECT_EQ(bytes.back(), "120");
    EXPECT_EQ(bytes[bytes.size() - 2], "16");
    clickHeader(CVariablesModel::Name);
    EXPECT_EQ(column(0), (std::vector<std::string>{"B", "a", "b120", "b16", "b8"}));
    // Dragging rows out offers their names in list order.
    Click("b16");
    Click("B", Qt::ControlModifier);
    std::unique_ptr<QMimeData> drag(view->Model()->mimeData(list()->selectionModel()->selectedIndexes()));
    EXPECT_EQ(drag->text(), "B b16");
    clickHeader(CVariablesModel::Name);
    Fill("A=2;");
    EXPECT_EQ(column(0), (std::vector<std::string>{"b8", "b16", "b120", "a", "B", "A"}));
}

TEST_F(WorkspacePane, RenameDuplicateAndDeleteChangeTheInterpreterValues)
{
    Fill("x=5; y=7;");
    Click("x");
    dialogs.answer = "z";
    Key(Qt::Key_F2);
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(session().Value("z"), "5");
    EXPECT_EQ(session().Value("exist('x')"), "0");
    EXPECT_EQ(dialogs.initial.value(0), "x");

    Fill("");
    Click("z");
    const std::size_t sent = session().sent.size();
    dialogs.answer = "z";  // the same name must not delete the variable
    Key(Qt::Key_F2);
    dialogs.answer = "no good";
    Key(Qt::Key_F2);
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(session().sent.size(), sent);
    EXPECT_EQ(session().Value("z"), "5");
    EXPECT_EQ(dialogs.messages.size(), 1);

    Click("y", Qt::ControlModifier);
    dialogs.answer = "Copy";
    QTest::mouseClick(view->ToolBar()->widgetForAction(view->CommandAction(CVariableView::Duplicate)),
                      Qt::LeftButton);
    dialogs.answer = "a;clear";
    view->DuplicateVariables();
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(session().Value("[yCopy zCopy]"), "7   5");
    EXPECT_EQ(dialogs.messages.size(), 2);

    Fill("");
    Click("y");
    dialogs.yes = false;
    Key(Qt::Key_Delete);
    Click("z");
    Click("zCopy", Qt::ControlModifier);
    dialogs.yes = true;
    Key(Qt::Key_Delete);
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(dialogs.questions, (QStringList{"Are you sure you want delete 'y'?",
                                              "Are you sure you want delete selected variables?"}));
    EXPECT_EQ(session().Value("[exist('y') exist('z') exist('zCopy') exist('yCopy')]"), "1   0   0   1");
}

TEST_F(WorkspacePane, RenameOrDuplicateOntoATakenNameAsksFirst)
{
    Fill("p=1; q=2; qCopy=3;");
    Click("q");
    dialogs.answer = "p";
    dialogs.yes = false;
    Key(Qt::Key_F2);
    dialogs.answer = "Copy";
    view->DuplicateVariables();
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(session().Value("[p q qCopy]"), "1   2   3");
    EXPECT_EQ(dialogs.questions.size(), 2);

    dialogs.yes = true;
    dialogs.answer = "p";
    Key(Qt::Key_F2);
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(session().Value("[p exist('q')]"), "2   0");
}

TEST(WorkspaceDialogs, DataFileDialogsStartInTheWorkingFolder)
{
    QTemporaryDir work;
    CKestruneSettings settings = CKestruneSettings::fromSettings();
    settings.workPath = work.path();
    settings.toSettings();
    CModalAnswerer cancel;
    CWorkspaceDialogs dialogs;
    EXPECT_TRUE(dialogs.SaveFileName(nullptr).isEmpty());
    EXPECT_EQ(cancel.folders, QStringList{work.path()});
}

TEST_F(WorkspacePane, SaveAsEveryFormatLoadsBack)
{
    QTemporaryDir dir;
    for (const char* extension : {"mat", "hdf5", "fhdf5", "bin", "fbin", "zip"}) {
        SCOPED_TRACE(extension);
        Fill("m=magic(3); a=int8(ones(2,2,2)); emp=zeros(0,3); s.x=4;");
        dialogs.messages.clear();
        dialogs.savePath = dir.path() + "/it's a \"q\" \\ file." + extension;
        Key(Qt::Key_A, Qt::ControlModifier);
        Key(Qt::Key_S, Qt::ControlModifier);
        ASSERT_TRUE(session().Run("clear all"));
        dialogs.openPath = dialogs.savePath;
        Key(Qt::Key_O, Qt::ControlModifier);
        ASSERT_TRUE(session().Settle());
        EXPECT_EQ(session().Value("[m(2,3) a(2,2,2) s.x]"), "7  1  4");
        const bool floatBinary = std::string(extension) == "fbin";
        EXPECT_EQ(session().Value("exist('emp')"), floatBinary ? "0" : "1");
        EXPECT_EQ(dialogs.messages.size(), floatBinary ? 1 : 0);
    }

    // ASCII holds one real 2-D matrix; several are refused, the rest named.
    Fill("m=magic(3); s.x=4; n=1;");
    dialogs.messages.clear();
    dialogs.savePath = dir.path() + "/mtx.txt";
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(session().Settle());
    EXPECT_FALSE(QFileInfo::exists(dialogs.savePath));
    Click("m");
    Click("s", Qt::ControlModifier);
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(session().Run("clear all"));
    dialogs.openPath = dialogs.savePath;
    view->LoadFile();
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(session().Value("mtx(2,3)"), "7");
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[1].endsWith("s.")) << dialogs.messages[1].toStdString();
}

TEST_F(WorkspacePane, ViewOpensNumericVariablesAndPrintsTheOthers)
{
    Fill("m=[1 2;3 4]; s.x=1; q=ones(2,2,2,2);");
    Click("m");
    ASSERT_TRUE(EditorLoads([&] { Key(Qt::Key_Return); }));
    EXPECT_EQ(editor->Grid()->Model()->rowCount(), 2);
    EXPECT_EQ(Cell(1, 0), "3");
    EXPECT_EQ(editor->windowTitle().toStdString(), "Variable Editor - m <2x2 double>");
    EXPECT_FALSE(editor->PageSelector()->isEnabled());
    EXPECT_EQ(editor->PageSelector()->currentText(), "1");

    for (const char* name : {"s", "q"}) {
        Click(name);
        const int row = RowOf(name);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, Qt::NoModifier,
                           list()->visualRect(view->Model()->index(row, 0)).center());
        ASSERT_TRUE(session().Settle());
        const auto& sent = session().sent;
        EXPECT_TRUE(std::any_of(sent.begin(), sent.end(), [&](const auto& s) { return s.text == name && s.echo; }))
            << name;
    }
    EXPECT_NE(session().Console().find("x = 1"), std::string::npos);
    EXPECT_EQ(editor->VariableName(), "m");
}

TEST_F(WorkspacePane, ViewFromTheListTakesTheKeysToTheGrid)
{
    PaneLayout panes(view.get(), editor.get());
    Fill("m=[1 2;3 4];");
    Click("m");
    ASSERT_TRUE(EditorLoads([&] { Key(Qt::Key_Return); }));
    ASSERT_TRUE(QApplication::focusWidget());
    QTest::keyClicks(QApplication::focusWidget(), "9");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(session().Value("m(1,1)"), "9");
}

TEST_F(WorkspacePane, ListTakingTheKeysWithoutASelectionSelectsTheCurrentRowForEnter)
{
    Fill("a=1; b=[5 6];");
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    list()->selectionModel()->setCurrentIndex(view->Model()->index(RowOf("b"), 0), QItemSelectionModel::Clear);
    list()->clearFocus();
    ASSERT_TRUE(view->SelectedNames().empty());
    list()->setFocus(Qt::ShortcutFocusReason);
    EXPECT_EQ(view->SelectedNames(), std::vector<std::string>{"b"});
    ASSERT_TRUE(EditorLoads([&] { QTest::keyClick(list(), Qt::Key_Return); }));
    EXPECT_EQ(editor->VariableName(), "b");
}

TEST_F(WorkspacePane, EditorBehindAnotherPaneStaysThereAndCatchesUpWhenBroughtForward)
{
    PaneLayout panes(view.get(), editor.get());
    Fill("m=[1 2;3 4];");
    ASSERT_TRUE(EditorLoads([&] { ASSERT_TRUE(editor->Open("m")); }));
    panes.otherPane->raise();
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return editor->visibleRegion().isEmpty(); }));
    const int loads = editor->LoadCount();
    Fill("m(1,1)=5;");
    QTest::qWait(300);
    EXPECT_EQ(editor->LoadCount(), loads);
    EXPECT_TRUE(editor->visibleRegion().isEmpty()) << "the editor pushed itself in front";
    ASSERT_TRUE(EditorLoads([&] { panes.editorPane->raise(); }));
    EXPECT_EQ(Cell(0, 0), "5");
}

TEST_F(WorkspacePane, WithoutTheInterpreterAnEditedCellKeepsItsValue)
{
    Fill("m=[1 2;3 4];");
    ASSERT_TRUE(EditorLoads([&] { ASSERT_TRUE(editor->Open("m")); }));
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    CGridCtrl* grid = editor->Grid();
    grid->setFocus();
    grid->FocusCell(0, 0);
    session().offline = true;
    QTest::keyClicks(grid, "9");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return !grid->IsEditing(); }));
    session().offline = false;
    EXPECT_EQ(Cell(0, 0), "1");
}

TEST_F(WorkspacePane, PastedAndCutCellsReachTheVariable)
{
    Fill("m=[1 2;3 4];");
    ASSERT_TRUE(EditorLoads([&] { ASSERT_TRUE(editor->Open("m")); }));
    CGridCtrl* grid = editor->Grid();
    grid->setFocus();
    QApplication::clipboard()->setText(QStringLiteral("7\t8\n"));
    grid->FocusCell(1, 0);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    grid->FocusCell(0, 1);
    QTest::keyClick(grid, Qt::Key_X, Qt::ControlModifier);
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(session().Value("m(:)'"), "1   7   0   8");

    // Ctrl+Insert, the main window's Copy, copies the cells in the grid.
    PaneLayout panes(view.get(), editor.get());
    QAction windowCopy(&panes.window);
    windowCopy.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    panes.window.addAction(&windowCopy);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panes.window));
    grid->setFocus();
    grid->FocusCell(1, 0);
    QTest::keyClick(grid, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "7\n");
}

TEST_F(WorkspacePane, EditingACellOfPageTwoAssignsTheElement)
{
    Fill("A=reshape(1:24,3,4,2);");
    ASSERT_TRUE(EditorLoads([&] { ASSERT_TRUE(editor->Open("A")); }));
    EXPECT_TRUE(editor->PageSelector()->isEnabled());
    EXPECT_EQ(editor->PageSelector()->count(), 2);
    ASSERT_TRUE(EditorLoads([&] {
        editor->PageSelector()->setFocus();
        QTest::keyClick(editor->PageSelector(), Qt::Key_Down);
    }));
    EXPECT_EQ(editor->Page(), 1);
    EXPECT_EQ(Cell(1, 2), "20");

    CGridCtrl* grid = editor->Grid();
    grid->setFocus();
    grid->FocusCell(1, 2);
    QTest::keyClicks(grid, "7");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return !grid->IsEditing(); }));
    grid->FocusCell(1, 1);
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(session().Value("[A(2,3,2) A(2,2,2) A(2,3,1)]"), "7   0   8");

    // The page shown is gone: the last page that is left is shown.
    ASSERT_TRUE(EditorLoads([&] { Fill("A=A(:,:,1);"); }));
    ASSERT_TRUE(kestrunetest::WaitFor([&] { return Cell(1, 2) == "8"; }));
    EXPECT_EQ(editor->Page(), 0);
    EXPECT_FALSE(editor->PageSelector()->isEnabled());

    // The variable is gone: the editor empties and asks to be hidden.
    bool hidden = false;
    QObject::connect(editor.get(), &CVariableEditView::visibilityRequested, [&](bool shown) { hidden = !shown; });
    ASSERT_TRUE(EditorLoads([&] { Fill("clear A"); }));
    EXPECT_TRUE(hidden);
    EXPECT_EQ(editor->Grid()->Model()->rowCount(), 0);
}

TEST_F(WorkspacePane, RowAndColumnCommandsGiveTheRightShape)
{
    Fill("A=reshape(1:24,3,4,2);");
    ASSERT_TRUE(EditorLoads([&] { ASSERT_TRUE(editor->Open("A")); }));
    struct Step {
        CVariableEditView::Command command;
        int row, column;
        const char* size;
    };
    for (const Step& step : {Step{CVariableEditView::AddLeft, 0, 0, "[3 5 2]"},
                             Step{CVariableEditView::AddRight, 0, 4, "[3 6 2]"},
                             Step{CVariableEditView::DeleteColumn, 0, 1, "[3 5 2]"},
                             Step{CVariableEditView::AddAbove, 0, 0, "[4 5 2]"},
                             Step{CVariableEditView::AddBelow, 3, 0, "[5 5 2]"},
                             Step{CVariableEditView::DeleteRow, 1, 0, "[4 5 2]"}}) {
        SCOPED_TRACE(step.size);
        editor->Grid()->FocusCell(step.row, step.column);
        ASSERT_TRUE(EditorLoads([&] { editor->CommandAction(step.command)->trigger(); }));
        EXPECT_EQ(Size("A"), step.size);
        QString shape = QString::fromLatin1(step.size).mid(1).chopped(1).replace(' ', 'x');
        EXPECT_EQ(editor->windowTitle(), "Variable Editor - A <" + shape + " double>");
        EXPECT_EQ(editor->Grid()->Model()->rowCount(), shape.section('x', 0, 0).toInt());
    }
    EXPECT_EQ(session().Value("[A(1,:,1) A(:,1,2)']"), "0   0   0   0   0   0   0   0   0");

    // Every column deleted: 4x0x2, shown as an empty grid.
    editor->Grid()->setFocus();
    QTest::keyClick(editor->Grid(), Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(EditorLoads([&] { editor->CommandAction(CVariableEditView::DeleteColumn)->trigger(); }));
    EXPECT_EQ(Size("A"), "[4 0 2]");
    EXPECT_EQ(editor->Grid()->Model()->rowCount(), 0);
    EXPECT_FALSE(editor->CommandAction(CVariableEditView::AddLeft)->isEnabled());
}

TEST_F(WorkspacePane, ContextMenuFollowsTheSelection)
{
    Fill("m=magic(3); v=1:3;");
    struct Seen {
        bool view, rename, saveAs, plot, pie, contour;
    };
    auto open = [&]() {
        Seen seen{};
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu);
            for (QAction* a : menu->actions()) {
                if (a->text() == "View") seen.view = a->isEnabled();
                if (a->text() == "Rename") seen.rename = a->isEnabled();
                if (a->text() == "Save As...") seen.saveAs = a->isEnabled();
                if (a->menu()) {
                    seen.plot = a->isEnabled();
                    for (QAction* p : a->menu()->actions()) {
                        if (p->text() == "pie") seen.pie = p->isEnabled();
                        if (p->text() == "contour") seen.contour = p->isEnabled();
                    }
                }
            }
            menu->close();
        });
        QPoint at = list()->viewport()->rect().bottomLeft() + QPoint(5, -5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, list()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list()->viewport(), &event);
        return seen;
    };
    list()->clearSelection();
    Seen none = open();
    EXPECT_FALSE(none.view || none.rename || none.saveAs || none.plot);
    Click("m");
    Seen one = open();
    EXPECT_TRUE(one.view && one.rename && one.saveAs && one.plot && one.contour);
    EXPECT_FALSE(one.pie);
    Click("v", Qt::ControlModifier);
    Seen two = open();
    EXPECT_FALSE(two.view || two.rename || two.contour || two.pie);
    EXPECT_TRUE(two.saveAs && two.plot);
}

TEST_F(WorkspacePane, PlotDrawsEverySelectedVariable)
{
    Fill("m=magic(3); v=1:3;");
    Click("m");
    Click("v", Qt::ControlModifier);
    view->PlotVariables("plot");
    ASSERT_TRUE(session().Settle());
    EXPECT_EQ(session().Value("numel(findobj(gcf, 'type', 'line'))"), "4");
    EXPECT_EQ(session().sent.front().text, "figure; plot(m); hold on; plot(v); hold off;");
    ASSERT_TRUE(session().Run("close all"));
}

TEST_F(WorkspacePane, DropOpensOnlyANumericVariableAndReportsACopy)
{
    Fill("m=[5 6]; s.x=1;");
    auto drop = [&](const QString& text) {
        QMimeData data;
        data.setText(text);
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->Grid()->viewport(), &enter);
        QDropEvent event(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        event.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(editor->Grid()->viewport(), &event);
        return std::make_pair(event.isAccepted(), event.dropAction());
    };
    EXPECT_FALSE(drop("s").first);
    EXPECT_TRUE(editor->VariableName().empty());
    std::pair<bool, Qt::DropAction> taken;
    ASSERT_TRUE(EditorLoads([&] { taken = drop("m"); }));
    EXPECT_TRUE(taken.first);
    EXPECT_EQ(taken.second, Qt::CopyAction);
    EXPECT_EQ(Cell(0, 1), "6");
}

TEST_F(WorkspacePane, LargeMatrixOpensAndScrollsToTheEnd)
{
    Fill("big=reshape(1:1e6, 1000, 1000);");
    ASSERT_TRUE(EditorLoads([&] { ASSERT_TRUE(editor->Open("big")); }));
    EXPECT_EQ(editor->Grid()->Model()->rowCount(), 1000);
    EXPECT_EQ(editor->Grid()->Model()->columnCount(), 1000);
    editor->Grid()->scrollToBottom();
    EXPECT_EQ(Cell(999, 999), "1000000");
    EXPECT_EQ(Cell(999, 0), "1000");
}

}  // namespace

KESTRUNE_WIDGET_TEST_MAIN()
