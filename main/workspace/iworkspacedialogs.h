#pragma once

#include <QString>

class QWidget;

// The questions the workspace pane asks the user. The pane uses
// CWorkspaceDialogs; tests answer them without a modal loop.
class IWorkspaceDialogs {
public:
    virtual ~IWorkspaceDialogs() = default;

    // The chosen path, or empty when cancelled.
    virtual QString SaveFileName(QWidget* parent) = 0;
    virtual QString OpenFileName(QWidget* parent) = 0;
    // The one-line text dialog; false when cancelled.
    virtual bool AskText(QWidget* parent, const QString& title, const QString& label, QString& text) = 0;
    virtual bool AskYesNo(QWidget* parent, const QString& question) = 0;
    virtual void Tell(QWidget* parent, const QString& message) = 0;
};
