#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <atomic>

// Hands texts to the editor program (debug stops, values, completions, call
// tips, error locations). Send() returns at once: one worker delivers the
// texts in the order they were given, so neither the GUI thread nor a
// session thread ever waits for the editor. When nobody answers, the editor
// program is started and the text is delivered once it listens (a clicked
// error location opens in the editor that the click started).
class CEditorTransport : public QObject {
    Q_OBJECT
public:
    // programFolder holds the editor program "marlinote".
    explicit CEditorTransport(const QString& programFolder, QObject* parent = nullptr);
    // Texts not yet sent are dropped; one being sent is finished.
    ~CEditorTransport() override;

    // startIfAbsent false: a text only a running editor needs (its current
    // folder) is dropped when no editor answers.
    void Send(const QByteArray& text, bool startIfAbsent = true);

    // The delivery itself, from any thread: true when the editor got the
    // text. Otherwise the editor is started (at most once every ten seconds)
    // and the text waits for it up to ten seconds, or until *cancel is set;
    // a text that only a running editor can use (the debugger ended, an
    // answer to its question) never starts it.
    static bool SendNow(const QString& programFolder, const QByteArray& text, bool startIfAbsent = true,
                        const std::atomic<bool>* cancel = nullptr);

    // Starts the editor program; where the main window has an editor pane,
    // the editor's window is taken into it once announced. The files (full
    // paths) open in it, or in the editor already running. False when there
    // is no program to start.
    static bool StartEditor(const QString& programFolder, const QStringList& files = {});

signals:
    // On the GUI thread, after each text: whether the editor got it.
    void sent(const QByteArray& text, bool delivered);

private:
    QString m_programFolder;
    QThreadPool m_worker;
    std::atomic<bool> m_closing{false};
};
