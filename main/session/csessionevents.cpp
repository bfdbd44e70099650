#include "main/session/csessionevents.h"

namespace {
QStringList ToStringList(const std::vector<std::string>& items)
{
    QStringList list;
    list.reserve(static_cast<int>(items.size()));
    for (const std::string& s : items)
        list << QString::fromStdString(s);
    return list;
}
}  // namespace

CSessionEvents::CSessionEvents(ISessionConsole* console, QObject* parent) : QObject(parent), m_console(console) {}

void CSessionEvents::SetConsole(ISessionConsole* console) { m_console = console; }

void CSessionEvents::ConsoleWrite(const std::string& text, const std::vector<CTextSpan>& spans, int maxLines)
{
    if (m_console)
        m_console->ConsoleWrite(text, spans, maxLines);
}

void CSessionEvents::ConsoleEcho(const std::string& text)
{
    if (m_console)
        m_console->ConsoleEcho(text);
}

void CSessionEvents::ConsoleReset(const std::string& text)
{
    if (m_console)
        m_console->ConsoleReset(text);
}

void CSessionEvents::ConsoleReplace(const std::string& oldText, const std::string& newText)
{
    if (m_console)
        m_console->ConsoleReplace(oldText, newText);
}

void CSessionEvents::ConsoleCaretToEnd()
{
    if (m_console)
        m_console->ConsoleCaretToEnd();
}

void CSessionEvents::ConsoleSetReadOnly(bool readOnly)
{
    if (m_console)
        m_console->ConsoleSetReadOnly(readOnly);
    OnGui([this, readOnly] { emit connectionChanged(!readOnly); });
}

void CSessionEvents::ConsoleSetBusy(bool busy)
{
    if (m_console)
        m_console->ConsoleSetBusy(busy);
    OnGui([this, busy] { emit busyChanged(busy); });
}

void CSessionEvents::Beep()
{
    if (m_console)
        m_console->Beep();
}

void CSessionEvents::HistoryAdd(const std::string& statement)
{
    OnGui([this, s = QString::fromStdString(statement)] { emit historyAdded(s); });
}

void CSessionEvents::CompletionShow(const std::vector<std::string>& matches)
{
    OnGui([this, list = ToStringList(matches)] { emit completionReady(list); });
}

void CSessionEvents::WorkspaceRefill(const std::vector<CInfoVariable>& variables)
{
    OnGui([this, variables] { emit variablesRefilled(variables); });
}

void CSessionEvents::WorkspaceShow()
{
    OnGui([this] { emit workspaceShowRequested(); });
}

void CSessionEvents::VariableEditorReload()
{
    OnGui([this] { emit variableEditorReloadRequested(); });
}

void CSessionEvents::PathListPopulating()
{
    OnGui([this] { emit pathListPopulating(); });
}

void CSessionEvents::PathListFill(const std::vector<std::string>& folders)
{
    OnGui([this, list = ToStringList(folders)] { emit pathListReady(list); });
}

void CSessionEvents::PackageListPopulating()
{
    OnGui([this] { emit packageListPopulating(); });
}

void CSessionEvents::PackageListFill(const std::vector<CPackageRow>& rows)
{
    OnGui([this, rows] { emit packageListReady(rows); });
}

void CSessionEvents::ProfilerFunctionProfilingEnded()
{
    OnGui([this] { emit profilerFunctionProfilingEnded(); });
}

void CSessionEvents::ProfilerFileReady()
{
    OnGui([this] { emit profilerFileReady(); });
}

void CSessionEvents::DocumentationShow(const std::string& topic)
{
    OnGui([this, t = QString::fromStdString(topic)] { emit documentationRequested(t); });
}

void CSessionEvents::ChangeDirectory(const std::string& directory)
{
    OnGui([this, d = QString::fromStdString(directory)] { emit directoryChangeRequested(d); });
}

void CSessionEvents::CurrentDirectoryMayHaveChanged()
{
    OnGui([this] { emit currentDirectoryChanged(); });
}

bool CSessionEvents::SendToEditor(const std::string& text, bool activate)
{
    OnGui([this, t = QByteArray::fromStdString(text), activate] { emit editorTextReady(t, activate); });
    return true;
}

void CSessionEvents::RequestApplicationClose()
{
    OnGui([this] { emit closeRequested(); });
}
