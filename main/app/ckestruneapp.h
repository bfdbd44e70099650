#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>
#include <memory>

#include "main/console/ckestruneview.h"
#include "main/console/iconsolehost.h"
#include "main/frame/cmainframe.h"
#include "main/session/cconnectionhost.h"
#include "main/session/isessioncommands.h"
#include "platform/ckestrunesettings.h"

class CCommandHistory;
class CConsoleHistory;
class CDiffView;
class CDocumentationView;
class CGUIFindFiles;
class COctavePackages;
class COctavePaths;
class CProfileView;
class CVariableView;
class CWorkingFolder;
class CConnection;
class CConsoleSink;
class CEditorEmbedder;
class CEditorTransport;
class CMessageServer;
class COctaveRedirector;
class CSessionEvents;
class CStatusDisplay;

// The main program: settings, the session with its threads, the main frame
// with the command window, the link to the editor program and the life of
// the interpreter (connect, interrupt, disconnect, close). The one place
// that links the capabilities: each gets the session's events and the
// session commands (this object), and its pane is installed here with
// CMainFrame::SetPaneWidget.
class CKestruneApp : public QObject, public IConsoleHost, public ISessionCommands, public IConnectionHost {
    Q_OBJECT
public:
    struct Options {
        bool splash = true;
        bool listen = true;        // receive texts from the editor program
        bool autoStartAllowed = true;
        // Start the editor program with this one, as the settings ask (the
        // program does; tests that do not look at the editor leave it off).
        bool startEditor = false;
        // Where the editor program is; empty: this program's folder.
        QString programFolder;
    };

    explicit CKestruneApp(QObject* parent = nullptr);
    ~CKestruneApp() override;

    // Builds the frame, shows it and (with "AutoStart") connects.
    bool Start(const Options& options);
    bool Start() { return Start(Options()); }

    CMainFrame* Frame() const { return m_frame; }
    CKestruneView* View() const { return m_view; }
    COctaveRedirector& Session() { return *m_session; }
    CConnection& Connection() { return *m_connection; }
    CCommandHistory& History() { return *m_history; }
    CStatusDisplay& Status() { return *m_status; }
    // What capabilities connect to and call.
    CSessionEvents& Events() { return *m_events; }
    ISessionCommands& Commands() { return *this; }
    // Null unless the editor's window is embedded in the editor pane.
    CEditorEmbedder* Embedder() const { return m_embedder.get(); }

    // Commands.
    void OnConnect();
    void OnAbort();
    void ChangeDirectory(const QString& target);
    void FindHelp(bool fromButton);
    // Asks for the interpreter's folder and stores it as "Octave/path";
    // true when the user chose one.
    bool ChooseOctaveFolder();
    // The close check; false keeps the program open. Closes the editor
    // program too: an embedded one is waited for a while (its user may
    // refuse; one still running then is left running after asking whether
    // to close anyway), a separate one is asked when "CloseEditorExit" is set.
    bool CanClose();
    // Hands a text to the editor program in order, from a worker; activate
    // shows the editor pane, or brings a separate editor forward.
    void SendToEditor(const QByteArray& text, bool activate);
    // The settings as stored now (they take effect where they are used).
    static CKestruneSettings Settings();
    // Applies what takes effect at once (the command window's line limit,
    // beeping on errors); after start-up and after the options changed.
    void ApplySettings(const CKestruneSettings& settings);
    // Stops every thread and ends the processes this program started.
    void Shutdown();

    // IConsoleHost and ISessionCommands
    bool QueueCommand(const std::string& text, bool echo) override;
    bool SendRaw(const std::string& text) override;
    bool IsConnected() const override;
    bool InterpreterKnown() const override;
    bool IsStarting() const override;
    bool WaitsForInput() const override;
    bool IsDebugMode() const override;
    void RequestWorkspaceRefresh() override;
    bool RunCollected(const std::string& statement, CollectedAnswer done) override;
    std::string AnswerFolder() const override;
    void RequestInterrupt() override;
    void OpenInEditor(const std::string& location) override;

    // IConnectionHost (called on the connection thread)
    void ConnectionStartFailed() override;
    void ConnectionVersionRefused() override;
    void ConnectionReady(const QString& workFolder, bool workFolderReplaced) override;
    void ConnectionEnded() override;

    static QString Version();

signals:
    // For tests: the connection reached the ready state / ended.
    void ready();
    void ended();

private:
    void WireCommands();
    void WireSessionEvents();
    void InstallPanes();
    void KeepWindowSurfaceForEmbedding();
    void WireEditorLink();
    void StartEditorProgram(const CKestruneSettings& settings);
    void UpdateCommandState();
    void OnEditorText(const QByteArray& text);
    // The web-based panes are made when first shown or first needed.
    CDocumentationView* Documentation();
    CDiffView* Comparison();
    CProfileView* Profiler();
    void MakeWhenShown(int paneId, std::function<void()> make);

    std::unique_ptr<COctaveRedirector> m_session;
    std::unique_ptr<CCommandHistory> m_history;
    std::unique_ptr<CConsoleHistory> m_consoleHistory;
    QPointer<CMainFrame> m_frame;
    QPointer<CKestruneView> m_view;
    std::unique_ptr<CConsoleSink> m_console;
    std::unique_ptr<CSessionEvents> m_events;
    std::unique_ptr<CEditorTransport> m_editor;
    QString m_programFolder;
    std::unique_ptr<CConnection> m_connection;
    std::unique_ptr<CStatusDisplay> m_status;
    std::unique_ptr<CMessageServer> m_server;
    std::unique_ptr<CEditorEmbedder> m_embedder;
    bool m_closingEditor = false;
    std::atomic<bool> m_closeAgain{false};
    QString m_userPaths;
    bool m_shutDown = false;
    QPointer<CWorkingFolder> m_folder;
    QPointer<CVariableView> m_workspace;
    QPointer<CDocumentationView> m_docs;
    QPointer<CDiffView> m_diff;
    QPointer<CProfileView> m_profiler;
    QPointer<COctavePaths> m_paths;
    QPointer<COctavePackages> m_packages;
    QPointer<CGUIFindFiles> m_findFiles;
};
