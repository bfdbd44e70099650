#include "main/frame/csessionpanes.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QProcess>

#include <mutex>

#include "main/console/ccommandhistory.h"
#include "main/console/ckestruneview.h"
#include "main/frame/ccommandids.h"
#include "main/frame/cmainframe.h"
#include "platform/cmessagechannel.h"

namespace {
// Byte offset into UTF-8 text -> character offset of the QString made of it.
int CharOffset(const std::string& text, std::size_t byteOffset)
{
    byteOffset = std::min(byteOffset, text.size());
    int chars = 0;
    for (std::size_t i = 0; i < byteOffset; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80)
            chars += (c >= 0xF0) ? 2 : 1;  // four-byte sequences are surrogate pairs
    }
    return chars;
}
}  // namespace

CSessionPanes::CSessionPanes(CMainFrame* frame, CKestruneView* view, CCommandHistory* history,
                             QObject* parent)
    : QObject(parent), m_frame(frame), m_view(view), m_history(history)
{
}

void CSessionPanes::ConsoleWrite(const std::string& text, const std::vector<CTextSpan>& spans, int maxLines)
{
    std::vector<CKestruneView::Span> converted;
    converted.reserve(spans.size());
    for (const CTextSpan& span : spans) {
        CKestruneView::Span out;
        out.start = CharOffset(text, span.start);
        out.length = CharOffset(text, span.start + span.length) - out.start;
        out.kind = span.kind == CTextSpan::Error  ? CKestruneView::Span::Error
                   : span.kind == CTextSpan::Link ? CKestruneView::Span::Link
                                                  : CKestruneView::Span::Bold;
        converted.push_back(out);
    }
    if (m_view)
        m_view->PostWrite(QString::fromStdString(text), converted, maxLines);
}

void CSessionPanes::ConsoleEcho(const std::string& text)
{
    if (m_view)
        m_view->PostEcho(QString::fromStdString(text));
}

void CSessionPanes::ConsoleReset(const std::string& text)
{
    if (m_view)
        m_view->PostReset(QString::fromStdString(text));
}

void CSessionPanes::ConsoleReplace(const std::string& oldText, const std::string& newText)
{
    if (m_view)
        m_view->PostReplace(QString::fromStdString(oldText), QString::fromStdString(newText));
}

void CSessionPanes::ConsoleCaretToEnd()
{
    if (m_view)
        m_view->PostCaretToEnd();
}

void CSessionPanes::ConsoleSetReadOnly(bool readOnly)
{
    OnGui([this, readOnly] {
        if (!m_view)
            return;
        m_view->FlushPending();
        m_view->setReadOnly(readOnly);
        if (!readOnly)
            m_view->setTextInteractionFlags(Qt::TextEditorInteraction);
    });
}

void CSessionPanes::ConsoleSetBusy(bool)
{
    // The status bar's timer shows the busy state.
}

void CSessionPanes::Beep()
{
    OnGui([] { QApplication::beep(); });
}

void CSessionPanes::HistoryAdd(const std::string& statement)
{
    OnGui([this, line = QString::fromStdString(statement)] {
        if (m_history && !line.contains(QStringLiteral("%-- ")))
            m_history->AddEchoed(line);
    });
}

void CSessionPanes::CompletionShow(const std::vector<std::string>& matches)
{
    QStringList list;
    for (const std::string& match : matches)
        list << QString::fromStdString(match);
    OnGui([this, list] {
        if (m_view) {
            m_view->FlushPending();
            m_view->ShowCompletions(list);
        }
    });
}

// The panes below get their content in later work; until then the answers
// meant for them are dropped.
void CSessionPanes::WorkspaceRefill(const std::vector<CInfoVariable>&) {}
void CSessionPanes::VariableEditorReload() {}
void CSessionPanes::PathListPopulating() {}
void CSessionPanes::PathListFill(const std::vector<std::string>&) {}
void CSessionPanes::PackageListPopulating() {}
void CSessionPanes::PackageListFill(const std::vector<CPackageRow>&) {}
void CSessionPanes::ProfilerFunctionProfilingEnded() {}
void CSessionPanes::ProfilerFileReady() {}
void CSessionPanes::DocumentationShow(const std::string&) {}

void CSessionPanes::WorkspaceShow()
{
    OnGui([this] {
        if (m_frame)
            m_frame->ShowPane(PaneId::Workspace);
    });
}

void CSessionPanes::ChangeDirectory(const std::string& directory)
{
    OnGui([this, folder = QString::fromStdString(directory)] {
        if (onChangeDirectory)
            onChangeDirectory(folder);
    });
}

bool CSessionPanes::SendToEditorProgram(const QString& programFolder, const std::string& text)
{
    const QByteArray bytes = QByteArray::fromStdString(text);
    if (MessageChannel::Send(QStringLiteral("marlinote"), bytes, 3000) ==
        MessageChannel::SendResult::Delivered)
        return true;
    // Nobody answers: start the editor (at most once every ten seconds, it
    // may take a while to come up); this text is not delivered.
    static std::mutex lock;
    static qint64 lastStart = 0;
    std::lock_guard<std::mutex> guard(lock);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastStart > 10000) {
        lastStart = now;
        const QString program = programFolder + QStringLiteral("/marlinote");
        if (QFileInfo(program).isExecutable())
            QProcess::startDetached(program, {});
    }
    return false;
}

bool CSessionPanes::SendToEditor(const std::string& text, bool activate)
{
    Q_UNUSED(activate);
    return SendToEditorProgram(programFolder, text);
}

void CSessionPanes::RequestApplicationClose()
{
    OnGui([this] {
        if (onCloseRequested)
            onCloseRequested();
    });
}
