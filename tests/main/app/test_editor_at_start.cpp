// The editor program with the main program: started with it as the settings
// ask, and texts for it handed over in order without anyone waiting.
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <thread>

#include "main/app/ckestruneapp.h"
#include "main/comparison/cdiffview.h"
#include "main/frame/ccommandids.h"
#include "main/session/csessionevents.h"
#include "platform/cmessagechannel.h"
#include "platform/cprofile.h"
#include "platform/editorprotocol.h"
#include "tests/main/console/kestrunetestsupport.h"

using kestrunetest::WaitFor;

namespace {

class EditorWithApp : public ::testing::Test {
protected:
    void SetUp() override
    {
        Set(QStringLiteral("AutoStart"), 0);
        Set(QStringLiteral("UseSeparateEditor"), 0);
        Set(QStringLiteral("OpenEditorStart"), 1);
        // A stand-in editor program that notes that it was started.
        QFile editor(m_folder.path() + QStringLiteral("/marlinote"));
        ASSERT_TRUE(editor.open(QIODevice::WriteOnly));
        editor.write(("#!/bin/sh\necho started >> '" + Marker() + "'\n").toUtf8());
        editor.close();
        editor.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void TearDown() override { Set(QStringLiteral("UseSeparateEditor"), 0); }

    void Set(const QString& key, int value) { CProfile(QStringLiteral("Kestrune")).WriteInt(QStringLiteral("Octave"), key, value); }
    QString Marker() const { return m_folder.path() + QStringLiteral("/started"); }

    // The texts for the editor program land in received.
    bool ListenAsEditor()
    {
        QObject::connect(&m_editor, &CMessageServer::textReceived, [this](const QByteArray& text) { received << text; });
        return m_editor.Listen();
    }

    std::unique_ptr<CKestruneApp> Start()
    {
        auto app = std::make_unique<CKestruneApp>();
        CKestruneApp::Options options;
        options.splash = false;
        options.listen = false;
        options.startEditor = true;
        options.programFolder = m_folder.path();
        EXPECT_TRUE(app->Start(options));
        return app;
    }

    QTemporaryDir m_folder;
    CMessageServer m_editor{QStringLiteral("marlinote")};
    QList<QByteArray> received;
};

TEST_F(EditorWithApp, StartedWithTheProgramAsTheSettingsAsk)
{
    // Embedded editor, separate editor opened at start, separate editor not.
    for (const auto& [separate, openAtStart, started] : {std::tuple{0, 0, true}, {1, 1, true}, {1, 0, false}}) {
        QFile::remove(Marker());
        Set(QStringLiteral("UseSeparateEditor"), separate);
        Set(QStringLiteral("OpenEditorStart"), openAtStart);
        auto app = Start();
        EXPECT_EQ(WaitFor([this] { return QFile::exists(Marker()); }, started ? 5000 : 800), started)
            << separate << openAtStart;
    }
}

TEST_F(EditorWithApp, TextsGoInOrderWithoutWaitingAndActivateShowsTheEditorPane)
{
    ASSERT_TRUE(ListenAsEditor());
    auto app = Start();
    QDockWidget* pane = app->Frame()->Pane(PaneId::Editor);
    ASSERT_TRUE(pane);
    pane->hide();

    // The session calls from its reader thread; it must not wait for the
    // editor, which is served on this (the GUI) thread.
    QElapsedTimer elapsed;
    elapsed.start();
    std::thread reader([&app] {
        app->Events().SendToEditor("debug\nLine=3\nPath=/w/f.m", true);
        for (int i = 0; i < 5; ++i)
            app->Events().SendToEditor("varvalue:" + std::to_string(i), false);
    });
    reader.join();
    EXPECT_LT(elapsed.elapsed(), 500);
    ASSERT_TRUE(WaitFor([this] { return received.size() == 6; }));
    EXPECT_EQ(received.first(), QByteArray("debug\nLine=3\nPath=/w/f.m"));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(received[i + 1], "varvalue:" + QByteArray::number(i));
    EXPECT_TRUE(pane->isVisible());
}

// A line link of the comparison report opens the file at that line.
TEST_F(EditorWithApp, ALineLinkOfTheComparisonGoesToTheEditorAsAnErrorLocation)
{
    ASSERT_TRUE(ListenAsEditor());
    auto app = Start();
    app->Frame()->ShowPane(PaneId::Diff);
    CDiffView* diff = nullptr;
    ASSERT_TRUE(WaitFor([&app, &diff] { return (diff = app->Frame()->findChild<CDiffView*>()) != nullptr; }));
    const QString file = m_folder.path() + QStringLiteral("/a b.m");
    QFile(file).open(QIODevice::WriteOnly);
    emit diff->editorTextRequested(QStringLiteral("line 12 of file ") + file, true);
    ASSERT_TRUE(WaitFor([this] { return !received.isEmpty(); }));
    EXPECT_EQ(received.first(), EditorProtocol::EncodeErrorLocation(file.toUtf8(), 12, 0));
}

// A stop of the real interpreter in the debugger brings the hidden editor
// pane forward and tells the editor the file and line.
TEST_F(EditorWithApp, ADebugStopBringsTheEditorPaneForward)
{
    QFile function(m_folder.path() + QStringLiteral("/kgstop.m"));
    ASSERT_TRUE(function.open(QIODevice::WriteOnly));
    function.write("function kgstop()\n  a = 1;\n  b = 2;\nend\n");
    function.close();
    CProfile(QStringLiteral("Kestrune")).WriteString(QStringLiteral("Octave"), QStringLiteral("workpath"), m_folder.path());
    Set(QStringLiteral("AutoStart"), 1);
    ASSERT_TRUE(ListenAsEditor());
    auto app = Start();
    Set(QStringLiteral("AutoStart"), 0);
    ASSERT_TRUE(WaitFor([&app] { return app->IsConnected(); }, 30000));
    QDockWidget* pane = app->Frame()->Pane(PaneId::Editor);
    ASSERT_TRUE(pane);
    pane->hide();

    app->QueueCommand("dbstop in kgstop at 3; kgstop", true);
    const QByteArray stop = "debug\nLine=3\nPath=" + QFile::encodeName(function.fileName());
    ASSERT_TRUE(WaitFor([&] { return received.contains(stop); }, 20000)) << received.join("|").toStdString();
    EXPECT_TRUE(pane->isVisible());
    EXPECT_TRUE(app->IsDebugMode());
    app->QueueCommand("dbquit", true);
    EXPECT_TRUE(WaitFor([&app] { return !app->IsDebugMode(); }, 10000));
}

}  // namespace
