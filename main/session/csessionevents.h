#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

#include "main/session/cinfovariable.h"
#include "main/session/isessionpanes.h"

// The session's effects on the program, as typed signals. This is the one
// implementation of ISessionPanes the program uses.
//
// THREADING: the ISessionPanes methods are called on the session's threads.
// Console calls go straight to the console sink (the command window's own
// batched cross-thread path). Every other call is turned into a signal that
// is emitted on the thread this object lives in (the GUI thread), in the
// order the session made the calls. Receivers therefore always run on the
// GUI thread, whatever connection type they use.
//
// A capability connects to the signals it needs; adding one changes nothing
// else.
class CSessionEvents : public QObject, public ISessionPanes {
    Q_OBJECT
public:
    // console may be null (nothing is shown); it must outlive this object.
    explicit CSessionEvents(ISessionConsole* console = nullptr, QObject* parent = nullptr);

    void SetConsole(ISessionConsole* console);

    // ISessionConsole
    void ConsoleWrite(const std::string& text, const std::vector<CTextSpan>& spans, int maxLines) override;
    void ConsoleEcho(const std::string& text) override;
    void ConsoleReset(const std::string& text) override;
    void ConsoleReplace(const std::string& oldText, const std::string& newText) override;
    void ConsoleCaretToEnd() override;
    void ConsoleSetReadOnly(bool readOnly) override;
    void ConsoleSetBusy(bool busy) override;
    void Beep() override;

    // ISessionPanes
    void HistoryAdd(const std::string& statement) override;
    void CompletionShow(const std::vector<std::string>& matches) override;
    void WorkspaceRefill(const std::vector<CInfoVariable>& variables) override;
    void WorkspaceShow() override;
    void VariableEditorReload() override;
    void PathListPopulating() override;
    void PathListFill(const std::vector<std::string>& folders) override;
    void PackageListPopulating() override;
    void PackageListFill(const std::vector<CPackageRow>& rows) override;
    void ProfilerFunctionProfilingEnded() override;
    void ProfilerFileReady() override;
    void DocumentationShow(const std::string& topic) override;
    void ChangeDirectory(const std::string& directory) override;
    void CurrentDirectoryMayHaveChanged() override;
    bool SendToEditor(const std::string& text, bool activate) override;
    void RequestApplicationClose() override;

signals:
    // The session connected (true) or the interpreter is gone (false).
    void connectionChanged(bool connected);
    // A request started (true) or its answer is complete (false).
    void busyChanged(bool busy);

    void historyAdded(const QString& statement);
    // The interpreter's completions of the token under the caret (at least one).
    void completionReady(const QStringList& matches);

    void variablesRefilled(const std::vector<CInfoVariable>& variables);
    // "load ..." was typed: show the workspace pane.
    void workspaceShowRequested();
    // The workspace changed: a visible variable editor reloads its variable.
    void variableEditorReloadRequested();

    // Empty the list and show "Populating list. Please wait...".
    void pathListPopulating();
    void pathListReady(const QStringList& folders);
    void packageListPopulating();
    void packageListReady(const std::vector<CPackageRow>& rows);

    // "__FunctioProfilingEnd__" and "__ProfilingFileReady__" were printed.
    void profilerFunctionProfilingEnded();
    void profilerFileReady();

    // "doc TOPIC" was typed.
    void documentationRequested(const QString& topic);
    // "cd DIR" was typed: change to DIR (queues the quoted cd itself). When
    // the change fails, the handler writes a fresh prompt.
    void directoryChangeRequested(const QString& directory);
    // The interpreter's folder may have changed (a statement ran that could
    // have changed it): a pane showing the folder checks it again.
    void currentDirectoryChanged();

    // A text for the editor program (debug stops, values, completions, call
    // tips); activate brings the editor forward. The handler sends it from a
    // worker and never blocks the GUI thread.
    void editorTextReady(const QByteArray& text, bool activate);

    // "exit"/"quit" was typed: ask to close the program.
    void closeRequested();

private:
    template <typename F>
    void OnGui(F&& work)
    {
        QMetaObject::invokeMethod(this, std::forward<F>(work), Qt::QueuedConnection);
    }

    ISessionConsole* m_console = nullptr;
};
