#pragma once

#include "main/workspace/iworkspacedialogs.h"

// The workspace pane's questions as the desktop's dialogs.
class CWorkspaceDialogs : public IWorkspaceDialogs {
public:
    QString SaveFileName(QWidget* parent) override;
    QString OpenFileName(QWidget* parent) override;
    bool AskText(QWidget* parent, const QString& title, const QString& label, QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& question) override;
    void Tell(QWidget* parent, const QString& message) override;
};
