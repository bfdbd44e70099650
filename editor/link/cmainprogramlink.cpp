#include "editor/link/cmainprogramlink.h"

#include "editor/app/cchildframe.h"
#include "editor/app/cmainframe.h"
#include "editor/app/cmarlinoteapp.h"
#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"
#include "editor/core/filenamebytes.h"
#include "platform/cmessagechannel.h"
#include "platform/octavequote.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

const char* const CMainProgramLink::kMainProgramChannel = "kestrune";

namespace {
constexpr int kSendTimeoutMs = 3000;
}  // namespace

CMainProgramLink::CMainProgramLink(CMarlinoteApp& app, QObject* parent) : QObject(parent), m_app(app)
{
    m_worker.setMaxThreadCount(1);
    connect(&m_app, &CMarlinoteApp::mainProgramMessage, this, &CMainProgramLink::OnMessage);
}

CMainProgramLink::~CMainProgramLink()
{
    // Statements still queued go out (a "dbquit" at close), but once the main
    // program has failed to take one, the rest are dropped: a hung main
    // program costs the editor's close one time-out, not one per statement.
    m_closing.store(true);
    m_worker.waitForDone();
}

bool CMainProgramLink::SendToMainProgram(const QByteArray& text, bool activate, bool offerStart, bool echo)
{
    const QString channel = QString::fromLatin1(kMainProgramChannel);
    if (text.isEmpty()) {
        const bool running = m_send ? true : MessageChannel::IsRunning(channel);
        if (!running && offerStart)
            OfferToStart();
        return running;
    }
    const QByteArray message = EditorProtocol::EncodeStatement(text, echo);
    if (m_send) {
        const bool delivered = m_send(message);
        if (!delivered && offerStart)
            OfferToStart();
        return delivered;
    }
    // The main program answers on its own GUI thread, which may be busy or be
    // sending to this editor just now: the wait is never on this GUI thread.
    // One worker thread keeps the statements in their order.
    // The destructor waits for the worker, so this outlives every send; a
    // question queued to a link destroyed since is dropped with it.
    m_worker.start([this, channel, message, offerStart, activate] {
        if (m_closing.load() && m_undelivered.load())
            return;
        // The main window comes forward first, so that the statement's
        // output is where the user now looks.
        if (activate)
            MessageChannel::Send(channel, EditorProtocol::EncodeActivate(), kSendTimeoutMs);
        const bool delivered =
            MessageChannel::Send(channel, message, kSendTimeoutMs) == MessageChannel::SendResult::Delivered;
        m_undelivered.store(!delivered);
        if (!delivered && offerStart)
            QMetaObject::invokeMethod(this, [this] { OfferToStart(); }, Qt::QueuedConnection);
    });
    return true;
}

void CMainProgramLink::OfferToStart()
{
    // The statement is not kept for later.
    const bool start = m_askStart ? m_askStart()
                                  : QMessageBox::question(
                                        m_app.MainFrame(), QString::fromLatin1(CMarlinoteApp::kAppTitle),
                                        tr("Kestrune is not running.\nDo you like to open it?"),
                                        QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    if (start)
        QProcess::startDetached(QCoreApplication::applicationDirPath() + QStringLiteral("/kestrune"), {});
}

void CMainProgramLink::RememberRequest(const QByteArray& functionName, const QString& path,
                                       CMarlinoteView* view)
{
    m_lastWord = functionName;
    m_lastPath = path;
    m_lastView = view;
}

void CMainProgramLink::RememberTooltip(const QByteArray& word, const QPoint& screenPoint, bool describe)
{
    m_tooltipWord = word;
    m_tooltipPoint = screenPoint;
    m_describe = describe;
}

void CMainProgramLink::HideValueTooltip()
{
    QToolTip::hideText();
}

void CMainProgramLink::OnMessage(const QByteArray& text)
{
    using EditorProtocol::Kind;
    const EditorProtocol::Message m = EditorProtocol::Decode(text);
    switch (m.kind) {
    case Kind::UpdatePreferences:
        m_app.LoadSettings();
        if (m_app.MainFrame())
            m_app.MainFrame()->ApplySettingsToViews();
        break;
    case Kind::Parameters:
        OnParameters(m.text);
        break;
    case Kind::Completion: {
        QStringList names;
        for (const QByteArray& name : m.names)
            names.append(QString::fromUtf8(name));
        if (!names.isEmpty())
            m_app.SetKeyWords(names);
        break;
    }
    case Kind::ErrorLocation:
        OnErrorLocation(m);
        break;
    case Kind::Error:
        OnError(m.text);
        break;
    case Kind::Value:
        OnValue(m.text);
        break;
    case Kind::Debug:
        OnDebug(m);
        break;
    case Kind::DebugEnded:
        OnDebugEnded();
        break;
    case Kind::InterpreterStarted:
        OnInterpreterStarted();
        break;
    case Kind::CurrentPath:
        m_app.SetCurrentPath(FileNameBytes::Decode(m.path));
        break;
    case Kind::Breakpoint:
        OnBreakpoint(m);
        break;
    case Kind::Close:  // the application handles it
    case Kind::Unknown:
        break;
    }
    if (m.kind == Kind::Debug || m.kind == Kind::DebugEnded)
        m_lastWord.clear();
}

CMarlinoteView* CMainProgramLink::OpenOrActivate(const QByteArray& path)
{
    CMainFrame* frame = m_app.MainFrame();
    if (!frame || path.isEmpty())
        return nullptr;
    CChildFrame* child = frame->OpenDocumentFile(FileNameBytes::Decode(path));
    return child ? child->View() : nullptr;
}

void CMainProgramLink::DebugModeChanged()
{
    if (CMainFrame* frame = m_app.MainFrame())
        frame->OnDebugModeChanged();
}

void CMainProgramLink::OnDebug(const EditorProtocol::Message& m)
{
    CMarlinoteView* view = OpenOrActivate(m.path);
    if (!view)
        return;
    // Only one file shows where the debugger stands.
    for (CChildFrame* child : m_app.MainFrame()->Children()) {
        if (child->View() != view && child->View()->GetDebugLine() > 0)
            child->View()->SetDebugLine(0);
    }
    view->SetDebugLine(m.line);
    m_debugMode = true;
    DebugModeChanged();
}

void CMainProgramLink::OnDebugEnded()
{
    if (CMainFrame* frame = m_app.MainFrame()) {
        for (CChildFrame* child : frame->Children()) {
            CMarlinoteView* view = child->View();
            if (!view->GetBreakpoints().empty()) {
                const QByteArray statement = view->ClearAllBreakpointsStatement();
                if (!statement.isEmpty())
                    SendToMainProgram(statement, false, false, true);
            }
            view->ClearBreakpointsAndDebugLine();
        }
    }
    m_debugMode = false;
    DebugModeChanged();
}

void CMainProgramLink::OnInterpreterStarted()
{
    // The markers stay where the user put them; the new interpreter is told.
    if (CMainFrame* frame = m_app.MainFrame()) {
        for (CChildFrame* child : frame->Children()) {
            CMarlinoteView* view = child->View();
            const QByteArray statement = view->SetAllBreakpointsStatement();
            if (!statement.isEmpty())
                SendToMainProgram(statement, false, false, true);
            view->SetDebugLine(0);
        }
    }
    m_debugMode = false;
    DebugModeChanged();
}

void CMainProgramLink::OnValue(const QByteArray& html)
{
    QString text = QString::fromUtf8(html);
    // Only the bold name: "ans" inside the value (a text, a field) stays.
    text.replace(QLatin1String("<b>ans </b>"),
                 QStringLiteral("<b>%1 </b>").arg(QString::fromUtf8(m_tooltipWord).toHtmlEscaped()));
    // The interpreter lays a matrix out in rows and aligned columns.
    QToolTip::showText(m_tooltipPoint, QStringLiteral("<pre>%1</pre>").arg(text.trimmed()));
}

QStringList CMainProgramLink::Signatures(const QByteArray& helpText)
{
    QStringList signatures;
    for (const QByteArray& raw : helpText.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.startsWith("--"))
            continue;
        QByteArray signature = line.mid(2).trimmed();
        // Older interpreters put a category first ("Function File: ...").
        for (const char* category : {"Function File:", "Built-in Function:", "Loadable Function:"}) {
            if (signature.startsWith(category))
                signature = signature.mid(int(qstrlen(category))).trimmed();
        }
        signatures.append(QString::fromUtf8(signature));
    }
    return signatures;
}

void CMainProgramLink::OnParameters(const QByteArray& helpText)
{
    const QStringList signatures = Signatures(helpText);
    if (m_describe) {
        m_describe = false;
        QString tip;
        if (signatures.isEmpty()) {
            tip = QStringLiteral("'<b>%1</b>' is not a command or has no description.")
                      .arg(QString::fromUtf8(m_tooltipWord).toHtmlEscaped());
        } else {
            for (const QString& s : signatures)
                tip += QStringLiteral("<b>%1</b><br>").arg(s.toHtmlEscaped());
        }
        QToolTip::showText(m_tooltipPoint, tip);
        return;
    }
    CMainFrame* frame = m_app.MainFrame();
    CMarlinoteView* view = frame ? frame->ActiveView() : nullptr;
    if (view && !signatures.isEmpty() && m_app.Settings().calltipsEnabled)
        view->ShowCallTip(signatures);
}

void CMainProgramLink::OnErrorLocation(const EditorProtocol::Message& m)
{
    CMarlinoteView* view = OpenOrActivate(m.path);
    if (!view || m.line < 1)
        return;
    view->GotoLineNumber(m.line);
    CScintillaWnd* editor = view->GetEditor();
    const long start = editor->PositionFromLine(editor->LineFromPosition(editor->GetCurrentPosition()));
    view->GotoCharacterPosition(std::min(start + std::max(0, m.column - 1),
                                         editor->GetLineEndPosition(editor->LineFromPosition(start))));
}

void CMainProgramLink::OnBreakpoint(const EditorProtocol::Message& m)
{
    CMainFrame* frame = m_app.MainFrame();
    if (!frame)
        return;
    for (CChildFrame* child : frame->Children()) {
        if (child->Document()->GetFunctionName() == m.function)
            child->View()->SetBreakpointUsed(m.requested, m.line);
    }
}

void CMainProgramLink::OnError(const QByteArray& text)
{
    // The interpreter cannot find the file's function: offer to make it so.
    const bool notFound = text.contains("add_breakpoints_in_function") ||
                          (!m_lastWord.isEmpty() && (text.contains("'" + m_lastWord + "' undefined") ||
                                                     text.contains("`" + m_lastWord + "' undefined")));
    if (!notFound || m_lastPath.isEmpty())
        return;
    if (text.contains("add_breakpoints_in_function") && m_lastView)
        m_lastView->ClearBreakpointsAndDebugLine();
    // After the handler returned: the main program is not held by the question.
    QTimer::singleShot(0, this, &CMainProgramLink::AskForFolder);
}

void CMainProgramLink::AskForFolder()
{
    FolderChoice choice = FolderChoice::Cancel;
    if (m_askFolder) {
        choice = m_askFolder();
    } else {
        QMessageBox box(QMessageBox::Question, QString::fromLatin1(CMarlinoteApp::kAppTitle),
                        tr("File is not found in current Kestrune directory or in Octave path.\n"
                           "To set breakpoints in this file, you can either change the Kestrune\n"
                           "current directory or add its directory to the Octave path."),
                        QMessageBox::Cancel, m_app.MainFrame());
        QPushButton* change = box.addButton(tr("Change Directory"), QMessageBox::AcceptRole);
        QPushButton* add = box.addButton(tr("Add to Path"), QMessageBox::AcceptRole);
        box.exec();
        if (box.clickedButton() == change)
            choice = FolderChoice::ChangeDirectory;
        else if (box.clickedButton() == add)
            choice = FolderChoice::AddToPath;
    }
    std::string folder;
    if (choice == FolderChoice::Cancel ||
        !OctaveQuote(FileNameBytes::Encode(QFileInfo(m_lastPath).absolutePath()).toStdString(), folder))
        return;
    const QByteArray quoted = QByteArray::fromStdString(folder);
    SendToMainProgram(choice == FolderChoice::ChangeDirectory ? "cd " + quoted : "addpath(" + quoted + ");",
                      false, false, true);
}
