#pragma once

#include <QObject>
#include <QStringList>
#include <QThreadPool>

// The command history array with its recall cursor, kept in the order of the
// history tree (each session header followed by its statements) and stored
// in "userpaths.dat" as the list "History" joined by "|;|".
//
// THREADING: GUI thread only; the session's adds arrive there as signals.
// The stored list is written from a copy on one worker, in order; the file is
// replaced atomically, so a killed program leaves the previous list whole.
class CCommandHistory : public QObject {
    Q_OBJECT
public:
    explicit CCommandHistory(const QString& userPathsFile, QObject* parent = nullptr);
    ~CCommandHistory() override;

    // Waits until every store asked for has been written.
    void WaitForStore();

    const QStringList& Entries() const { return m_entries; }
    int& Cursor() { return m_cursor; }
    int Size() const { return static_cast<int>(m_entries.size()); }

    // False when the line is refused: it holds the prompt, is empty after
    // removing blanks, commas and line breaks, or repeats the newest entry.
    bool Add(const QString& line, bool inMemoryOnly = false);
    // The command window adds each statement when Enter is pressed, and the
    // session adds it again when it sends it. The window's adds are noted, so
    // the session's add of the same statement is not stored twice (the
    // repeat rule alone misses it when several lines were entered at once).
    bool AddFromWindow(const QString& line);
    bool AddEchoed(const QString& line);

    // Reloads the stored list keeping about maxEntries (back to a session
    // header) and starts a new session.
    void Load(int maxEntries);
    // Empties the history and starts a new session.
    void Clear();
    // Removes the entries at the given indices; a header takes its session's
    // statements with it. When the newest header goes, a new session starts,
    // so new statements never land under an older session.
    void Remove(const QList<int>& indices);

    static QString SessionHeader();
    static bool IsHeader(const QString& entry) { return entry.contains(QStringLiteral("%--")); }

signals:
    // The entry at index was appended.
    void added(int index);
    // The array was rebuilt (load, clear, removal).
    void reset();

private:
    QStringList ReadStored() const;
    void Store(const QStringList& entries);
    void StoreLater(const QStringList& entries);
    static QString Normalised(const QString& line);

    QString m_file;
    QStringList m_awaitingEcho;
    QThreadPool m_writer;
    QStringList m_entries;
    int m_cursor = 0;
};
