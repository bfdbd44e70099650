#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class CMessageServer;

// The editor's single-instance application base. The first process listens
// on the "marlinote" message channel; a later one hands its files to it
// there and ends. Texts on the channel that are not hand-overs belong to the
// link with the main program and go to OnMainProgramMessage.
class CWinAppEx : public QObject {
    Q_OBJECT
public:
    static const char* const kChannelName;

    explicit CWinAppEx(QObject* parent = nullptr);
    ~CWinAppEx() override;

    // Returns false when the files were handed to a running instance (the
    // process should then end without a window). An empty instance name skips
    // the check. Two processes that start at the same moment agree on one
    // winner: the loser of the race for the channel hands over to it.
    bool InitInstance(const QString& instanceName, const QStringList& files);

    // The hand-over text for files (empty: only bring the window forward).
    static QByteArray HandOverText(const QString& instanceName, const QStringList& files);

    bool IsListening() const;
    // Gives the channel up (the editor is closing), so that a process that
    // starts now becomes the running editor instead of handing over to this
    // one.
    void StopListening();

protected:
    // Files handed over by another process (none: come to the front).
    virtual bool OnAnotherInstanceMessage(const QStringList& files) = 0;
    // Any other text on the channel.
    virtual void OnMainProgramMessage(const QByteArray& text);

private:
    void OnChannelText(const QByteArray& text);

    QString m_instanceName;
    std::unique_ptr<CMessageServer> m_server;
};
