#pragma once

// Shared by the files tests: a session stand-in that records statements,
// an answerer for the one-line input dialogs, and folder helpers.

#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <string>
#include <utility>
#include <vector>

#include "main/session/isessioncommands.h"
#include "platform/ckestrunesettings.h"
#include "tests/support/cmodalanswerer.h"
#include "tests/support/widgettestmain.h"

namespace filestest {

inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

class RecordingCommands : public ISessionCommands {
public:
    std::vector<std::pair<std::string, bool>> queued;
    bool QueueCommand(const std::string& text, bool echo) override
    {
        queued.emplace_back(text, echo);
        return true;
    }
    bool RunCollected(const std::string&, CollectedAnswer) override { return false; }
    bool IsConnected() const override { return true; }
    bool IsDebugMode() const override { return false; }
    void RequestWorkspaceRefresh() override {}
    std::string AnswerFolder() const override { return QDir::tempPath().toStdString(); }
};

// Answers the next input dialog with text (or cancels it when text is null).
class InputAnswerer : public QObject {
public:
    explicit InputAnswerer(const QString& text) : m_text(text)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
                prompt = dialog->labelText();
                if (m_text.isNull()) {
                    dialog->reject();
                } else {
                    dialog->setTextValue(m_text);
                    dialog->accept();
                }
            }
        });
        m_timer.start(20);
    }
    QString prompt;

private:
    QString m_text;
    QTimer m_timer;
};

inline void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(content);
}

inline QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes folder the stored working folder with an empty recent list.
inline void ResetSettings(const QString& folder, int maxDirs = 20)
{
    CKestruneSettings settings = CKestruneSettings::fromSettings();
    settings.workPath = folder;
    settings.workingPaths.clear();
    settings.maxDirs = maxDirs;
    settings.toSettings();
}

}  // namespace filestest
