#include "main/history/ccommandhistory.h"

#include <QDateTime>
#include <QLocale>
#include <QSignalBlocker>
#include <QThreadPool>

#include <vector>

#include "common/cini.h"

namespace {
const char* const kSection = "User";
const char* const kKey = "History";
const char* const kDelimiter = "|;|";
}  // namespace

CCommandHistory::CCommandHistory(const QString& userPathsFile, QObject* parent)
    : QObject(parent), m_file(userPathsFile)
{
    // One writer: the stores happen in the order they were asked for.
    m_writer.setMaxThreadCount(1);
}

CCommandHistory::~CCommandHistory()
{
    m_writer.waitForDone();
}

QString CCommandHistory::Normalised(const QString& line)
{
    QString text = line;
    text.remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).remove(QLatin1Char(' ')).remove(QLatin1Char(','));
    return text;
}

QString CCommandHistory::SessionHeader()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    return QStringLiteral("%-- ") + locale.toString(now.date(), QLocale::ShortFormat) +
           QLatin1Char(' ') + locale.toString(now.time(), QStringLiteral("HH:mm:ss")) +
           QStringLiteral(" --%");
}

QStringList CCommandHistory::ReadStored() const
{
    const_cast<QThreadPool&>(m_writer).waitForDone();
    CIni ini(m_file.toStdString().c_str());
    std::vector<std::string> stored;
    ini.GetArray(kSection, kKey, stored, kDelimiter);
    QStringList list;
    for (const std::string& entry : stored)
        list << QString::fromStdString(entry);
    return list;
}

void CCommandHistory::Store(const QStringList& entries)
{
    m_writer.waitForDone();
    std::vector<std::string> items;
    for (const QString& entry : entries)
        items.push_back(entry.toStdString());
    CIni ini(m_file.toStdString().c_str());
    ini.WriteArray(kSection, kKey, items, -1, kDelimiter);
}

void CCommandHistory::StoreLater(const QStringList& entries)
{
    const QString file = m_file;
    m_writer.start([file, entries] {
        std::vector<std::string> items;
        for (const QString& entry : entries)
            items.push_back(entry.toStdString());
        CIni ini(file.toStdString().c_str());
        ini.WriteArray(kSection, kKey, items, -1, kDelimiter);
    });
}

void CCommandHistory::WaitForStore()
{
    m_writer.waitForDone();
}

bool CCommandHistory::Add(const QString& line, bool inMemoryOnly)
{
    if (line.contains(QStringLiteral(">> ")))
        return false;
    const QString normal = Normalised(line);
    if (normal.isEmpty())
        return false;
    if (!m_entries.isEmpty() && Normalised(m_entries.last()) == normal) {
        m_cursor = Size();
        return false;
    }
    QString entry = line;
    entry.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    m_entries << entry;
    // The stored list mirrors the array (the load made them equal); it is
    // written at once, off the GUI thread, so a statement is never delayed.
    if (!inMemoryOnly)
        StoreLater(m_entries);
    m_cursor = Size();
    emit added(Size() - 1);
    return true;
}

bool CCommandHistory::AddFromWindow(const QString& line)
{
    m_awaitingEcho << line;
    // Statements dropped before they were sent never come back; keep the
    // list short.
    while (m_awaitingEcho.size() > 256)
        m_awaitingEcho.removeFirst();
    return Add(line);
}

bool CCommandHistory::AddEchoed(const QString& line)
{
    const int at = static_cast<int>(m_awaitingEcho.indexOf(line));
    if (at >= 0) {
        m_awaitingEcho.erase(m_awaitingEcho.begin(), m_awaitingEcho.begin() + at + 1);
        return false;
    }
    return Add(line);
}

void CCommandHistory::Load(int maxEntries)
{
    const QStringList stored = ReadStored();
    const int count = static_cast<int>(stored.size());
    m_entries.clear();
    m_cursor = 0;
    // With nothing to keep, the start would lie past the end of the list.
    if (maxEntries > 0) {
        const QSignalBlocker quiet(this);  // one reset at the end instead
        int start = qMax(0, count - maxEntries);
        while (start > 0 && !IsHeader(stored.at(start)))
            --start;
        for (int i = start; i < count; ++i)
            Add(stored.at(i), true);
    }
    Store(m_entries);
    Add(SessionHeader(), false);
    emit reset();
}

void CCommandHistory::Clear()
{
    m_entries.clear();
    Store(m_entries);
    m_cursor = 0;
    Add(SessionHeader(), false);
    emit reset();
}

void CCommandHistory::Remove(const QList<int>& indices)
{
    if (indices.isEmpty())
        return;
    int newestHeader = -1;
    for (int i = 0; i < Size(); ++i)
        if (IsHeader(m_entries.at(i)))
            newestHeader = i;
    std::vector<bool> gone(m_entries.size(), false);
    for (int index : indices) {
        if (index < 0 || index >= Size())
            continue;
        gone[index] = true;
        if (IsHeader(m_entries.at(index)))
            for (int i = index + 1; i < Size() && !IsHeader(m_entries.at(i)); ++i)
                gone[i] = true;
    }
    QStringList kept;
    for (int i = 0; i < Size(); ++i)
        if (!gone[i])
            kept << m_entries.at(i);
    m_entries = kept;
    StoreLater(m_entries);
    m_cursor = Size();
    if (newestHeader >= 0 && gone[newestHeader])
        Add(SessionHeader(), false);
    emit reset();
}
