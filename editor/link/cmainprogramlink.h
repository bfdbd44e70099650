#pragma once

#include "editor/core/cinterpreterlink.h"
#include "platform/editorprotocol.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <functional>

class CMarlinoteApp;
class CMarlinoteView;

// The link to the main program: statements go out on the main program's
// message channel, and the main program's messages (debugger position, values,
// call tips, completions, settings, error locations) are carried out here on
// the editor's windows. Every text is written and read by EditorProtocol.
class CMainProgramLink : public QObject, public CInterpreterLink {
    Q_OBJECT
public:
    static const char* const kMainProgramChannel;

    explicit CMainProgramLink(CMarlinoteApp& app, QObject* parent = nullptr);
    ~CMainProgramLink() override;

    // Statements go out from a worker thread, in order; the result says
    // whether the statement was taken (with the test sender: delivered).

    bool SendToMainProgram(const QByteArray& text, bool activate, bool offerStart, bool echo) override;
    bool IsDebugMode() const override { return m_debugMode; }
    void RememberRequest(const QByteArray& functionName, const QString& path,
                         CMarlinoteView* view) override;
    void RememberTooltip(const QByteArray& word, const QPoint& screenPoint, bool describe) override;
    bool IsDescribePending() const override { return m_describe; }
    void HideValueTooltip() override;

    // One message of the main program.
    void OnMessage(const QByteArray& text);

    // Questions go through these, so that tests can answer them.
    using StartQuestion = std::function<bool()>;
    void SetStartQuestion(StartQuestion question) { m_askStart = std::move(question); }
    enum class FolderChoice { ChangeDirectory, AddToPath, Cancel };
    using FolderQuestion = std::function<FolderChoice()>;
    void SetFolderQuestion(FolderQuestion question) { m_askFolder = std::move(question); }
    // Where statements go; the main program's channel by default.
    using Sender = std::function<bool(const QByteArray& message)>;
    void SetSender(Sender sender) { m_send = std::move(sender); }

    // Signatures of the last "parameters:" answer ("plot (Y)", ...).
    static QStringList Signatures(const QByteArray& helpText);

private:
    void OnDebug(const EditorProtocol::Message& m);
    void OnDebugEnded();
    void OnInterpreterStarted();
    void OnValue(const QByteArray& html);
    void OnParameters(const QByteArray& helpText);
    void OnErrorLocation(const EditorProtocol::Message& m);
    void OnBreakpoint(const EditorProtocol::Message& m);
    void OnError(const QByteArray& text);
    void AskForFolder();
    void OfferToStart();
    CMarlinoteView* OpenOrActivate(const QByteArray& path);
    void DebugModeChanged();

    CMarlinoteApp& m_app;
    bool m_debugMode = false;
    QByteArray m_lastWord;
    QString m_lastPath;
    QPointer<CMarlinoteView> m_lastView;
    QByteArray m_tooltipWord;
    QPoint m_tooltipPoint;
    bool m_describe = false;
    StartQuestion m_askStart;
    FolderQuestion m_askFolder;
    Sender m_send;
    QThreadPool m_worker;
    std::atomic<bool> m_closing{false};
    std::atomic<bool> m_undelivered{false};
};
