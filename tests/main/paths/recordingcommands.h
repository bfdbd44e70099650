#pragma once

#include <QTimer>

#include <string>
#include <utility>
#include <vector>

#include "main/session/isessioncommands.h"

// Records what the dialogs queue; collected statements get a fixed answer.
class RecordingCommands : public ISessionCommands {
public:
    bool connected = true;
    std::string collectedAnswer = "0\n";
    std::vector<std::pair<std::string, bool>> queued;
    std::vector<std::string> collected;

    bool QueueCommand(const std::string& text, bool echo) override
    {
        if (connected)
            queued.emplace_back(text, echo);
        return connected;
    }
    bool RunCollected(const std::string& statement, CollectedAnswer done) override
    {
        if (!connected)
            return false;
        collected.push_back(statement);
        const std::string answer = collectedAnswer;
        QTimer::singleShot(0, [done, answer] { done(true, answer); });
        return true;
    }
    bool IsConnected() const override { return connected; }
    bool IsDebugMode() const override { return false; }
    void RequestWorkspaceRefresh() override {}
    std::string AnswerFolder() const override { return std::string(); }
};
