#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>
#include <functional>

#include "main/console/ccommandhistory.h"
#include "main/console/ckestruneview.h"
#include "main/frame/cmainframe.h"
#include "main/session/isessionpanes.h"

// The windows as the session sees them. Every call arrives on a session
// thread and is handed to the GUI thread; nothing here waits for the GUI.
class CSessionPanes : public QObject, public ISessionPanes {
    Q_OBJECT
public:
    CSessionPanes(CMainFrame* frame, CKestruneView* view, CCommandHistory* history,
                  QObject* parent = nullptr);

    // GUI-thread handlers for what other parts of the program do.
    std::function<void(const QString&)> onChangeDirectory;
    std::function<void()> onCloseRequested;
    // Folder of the editor program (started when it does not answer).
    QString programFolder;

    void ConsoleWrite(const std::string& text, const std::vector<CTextSpan>& spans, int maxLines) override;
    void ConsoleEcho(const std::string& text) override;
    void ConsoleReset(const std::string& text) override;
    void ConsoleReplace(const std::string& oldText, const std::string& newText) override;
    void ConsoleCaretToEnd() override;
    void ConsoleSetReadOnly(bool readOnly) override;
    void ConsoleSetBusy(bool busy) override;
    void Beep() override;
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
    bool SendToEditor(const std::string& text, bool activate) override;
    void RequestApplicationClose() override;

    // The editor program's transport, usable from any thread.
    static bool SendToEditorProgram(const QString& programFolder, const std::string& text);

private:
    template <typename F>
    void OnGui(F&& work)
    {
        QMetaObject::invokeMethod(this, std::forward<F>(work), Qt::QueuedConnection);
    }

    QPointer<CMainFrame> m_frame;
    QPointer<CKestruneView> m_view;
    QPointer<CCommandHistory> m_history;
};
