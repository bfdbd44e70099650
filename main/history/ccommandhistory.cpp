#include "main/history/ccommandhistory.h"

#include <QDateTime>
#include <QLocale>
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
    emit changed();
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
    int start = qMax(0, count - qMax(0, maxEntries));
    while (start > 0 && !IsHeader(stored.at(start)))
        --start;
    m_entries.clear();
    m_cursor = 0;
    for (int i = start; i < count; ++i)
        Add(stored.at(i), true);
    Store(m_entries);
    Add(SessionHeader(), false);
    emit changed();
}

void CCommandHistory::Clear()
{
    m_entries.clear();
    Store(m_entries);
    m_cursor = 0;
    Add(SessionHeader(), false);
    emit changed();
}
