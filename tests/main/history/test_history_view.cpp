// The "Command History" pane on its history: what is stored, what the tree
// shows, and what Evaluate runs in the real interpreter.
#include <QClipboard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <vector>

#include "common/cini.h"
#include "main/history/ccommandhistory.h"
#include "main/history/chistoryview.h"
#include "main/history/cviewtree.h"
#include "tests/support/cmodalanswerer.h"
#include "tests/support/csessionharness.h"
#include "tests/support/widgettestmain.h"


namespace {

class HistoryPane : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_file = m_folder.filePath(QStringLiteral("userpaths.dat"));
    }

    QStringList Stored()
    {
        m_history->WaitForStore();
        CIni ini(m_file.toStdString().c_str());
        std::vector<std::string> items;
        ini.GetArray("User", "History", items, "|;|");
        QStringList list;
        for (const std::string& item : items)
            list << QString::fromStdString(item);
        return list;
    }

    void WriteStored(const QStringList& entries)
    {
        std::vector<std::string> items;
        for (const QString& entry : entries)
            items.push_back(entry.toStdString());
        CIni(m_file.toStdString().c_str()).WriteArray("User", "History", items, -1, "|;|");
    }

    // The pane over a history of this file, shown so items can be clicked.
    void MakePane(bool withInterpreter)
    {
        m_history = std::make_unique<CCommandHistory>(m_file);
        m_harness = std::make_unique<CSessionHarness>();
        if (withInterpreter) {
            ASSERT_TRUE(m_harness->Start());
        }
        m_pane = std::make_unique<CHistoryView>(*m_history, *m_harness, m_harness->Events());
        m_pane->resize(400, 600);
        m_pane->show();
    }

    QTreeWidgetItem* Child(int root, int child) { return Tree()->topLevelItem(root)->child(child); }
    CViewTree* Tree() { return m_pane->Tree(); }
    void Click(QTreeWidgetItem* item, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Tree()->scrollToItem(item);
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, modifiers, Tree()->visualItemRect(item).center());
    }

    QTemporaryDir m_folder;
    QString m_file;
    std::unique_ptr<CCommandHistory> m_history;
    std::unique_ptr<CSessionHarness> m_harness;
    std::unique_ptr<CHistoryView> m_pane;
};

TEST_F(HistoryPane, RepeatsAreStoredOnceEvenWithExtraBlanksOrCommas)
{
    MakePane(true);
    m_history->Load(100);
    for (const char* statement : {"rep = 1", "rep = 1 ", "rep = 1,", "rep  =  1"})
        ASSERT_TRUE(m_harness->QueueCommand(statement, true));
    ASSERT_TRUE(m_harness->WaitIdle());
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_history->Size() == 2; }));
    QTest::qWait(100);
    EXPECT_EQ(m_history->Entries().last(), QStringLiteral("rep = 1"));
    EXPECT_EQ(Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(Tree()->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(Stored(), m_history->Entries());
}

TEST_F(HistoryPane, LoadKeepsMaxHistBackToTheNearestHeader)
{
    // 250 entries: a header every 40 (0, 40, ..., 240), statements between.
    QStringList entries;
    for (int i = 0; i < 250; ++i)
        entries << (i % 40 == 0 ? QStringLiteral("%-- session %1 --%").arg(i) : QStringLiteral("s%1 = %1").arg(i));
    WriteStored(entries);
    MakePane(false);
    m_history->Load(100);
    // 250 - 100 = 150 lies in the session that starts at 120.
    ASSERT_EQ(m_history->Size(), 250 - 120 + 1);
    EXPECT_EQ(m_history->Entries().first(), QStringLiteral("%-- session 120 --%"));
    EXPECT_TRUE(CCommandHistory::IsHeader(m_history->Entries().last()));
    EXPECT_EQ(Stored(), m_history->Entries());
    EXPECT_EQ(Tree()->topLevelItemCount(), 5);
    EXPECT_EQ(Tree()->topLevelItem(0)->childCount(), 39);
    EXPECT_EQ(m_history->Cursor(), m_history->Size());

    m_history->Load(0);
    EXPECT_EQ(m_history->Size(), 1) << "MaxHist 0 keeps only the new session";
}

TEST_F(HistoryPane, ClearAndDeleteRewriteTreeAndFile)
{
    WriteStored({"%-- one --%", "a = 1", "b = 2", "%-- two --%", "c = 3"});
    MakePane(false);
    m_history->Load(100);
    ASSERT_EQ(Tree()->topLevelItemCount(), 3);

    // Deleting the first header takes its statements along.
    Click(Tree()->topLevelItem(0));
    QTest::keyClick(Tree(), Qt::Key_Delete);
    EXPECT_EQ(m_history->Entries().mid(0, 2), QStringList({"%-- two --%", "c = 3"}));
    EXPECT_EQ(Stored(), m_history->Entries());
    EXPECT_EQ(Tree()->topLevelItemCount(), 2);

    // Deleting the newest header starts a new session for what comes next.
    Click(Tree()->topLevelItem(1));
    QTest::keyClick(Tree(), Qt::Key_Delete);
    ASSERT_EQ(Tree()->topLevelItemCount(), 2);
    m_history->Add(QStringLiteral("d = 4"));
    EXPECT_EQ(Tree()->topLevelItem(1)->childCount(), 1);
    EXPECT_EQ(Stored(), m_history->Entries());

    m_history->Clear();
    EXPECT_EQ(m_history->Size(), 1);
    EXPECT_EQ(Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(Stored(), m_history->Entries());
}

TEST_F(HistoryPane, CopyAndDragPutTheSelectionOnTheClipboard)
{
    WriteStored({"%-- one --%", "a = 1", "b = 2", "c = 3"});
    MakePane(false);
    m_history->Load(100);
    Click(Child(0, 2));
    Click(Child(0, 0), Qt::ShiftModifier);
    QTest::keyClick(Tree(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a = 1\r\nb = 2\r\nc = 3"));

    QApplication::clipboard()->clear();
    Click(Child(0, 1));
    CModalAnswerer answerer;
    emit Tree()->dragReleased();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("b = 2"));
    EXPECT_EQ(answerer.texts,
              QStringList(QStringLiteral("The text has been copied to clipboard.\nUse Ctrl+V to paste the text.")));
}

TEST_F(HistoryPane, EvaluateRunsEachSelectedStatementOnceInOrder)
{
    WriteStored({"%-- one --%", "ev1 = 2", "ev2 = ev1 + 3", "other = 7", "ev3 = ev2 * 10"});
    MakePane(true);
    m_history->Load(100);
    m_harness->Events().connectionChanged(true);
    Click(Child(0, 0));
    Click(Child(0, 1), Qt::ControlModifier);
    Click(Child(0, 3), Qt::ControlModifier);
    EXPECT_EQ(m_pane->SelectedText(), QStringLiteral("ev1 = 2\r\nev2 = ev1 + 3\r\nev3 = ev2 * 10"));
    QSignalSpy echoes(&m_harness->Events(), &CSessionEvents::historyAdded);
    // A header among the selection runs nothing.
    Click(Tree()->topLevelItem(0), Qt::ControlModifier);
    QTest::keyClick(Tree(), Qt::Key_Return);
    Click(Tree()->topLevelItem(0), Qt::ControlModifier);
    QTest::keyClick(Tree(), Qt::Key_Return);
    ASSERT_TRUE(m_harness->WaitIdle());
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_history->Size() == 9; }));

    EXPECT_EQ(echoes.size(), 3);
    EXPECT_EQ(m_history->Entries().mid(6), QStringList({"ev1 = 2", "ev2 = ev1 + 3", "ev3 = ev2 * 10"}));
    std::string answer;
    ASSERT_TRUE(m_harness->RunCollected("disp(ev3)", [&](bool, const std::string& text) { answer = text; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answer.empty(); }));
    EXPECT_EQ(QString::fromStdString(answer).trimmed(), QStringLiteral("50"));
}

}  // namespace

KESTRUNE_WIDGET_TEST_MAIN()
