#pragma once

#include <QString>

#include <functional>

#include "main/paths/clistdialog.h"

// "Packages": the interpreter's installed packages with their version,
// short description and status; installs a package file, uninstalls, loads
// and unloads the selected packages, and loads them all. The statements
// are echoed in the command window, where pkg's own messages appear.
class COctavePackages : public CListDialog {
    Q_OBJECT
public:
    // Asks for a package file: the chosen file, or an empty text when cancelled.
    using FileBrowser = std::function<QString(QWidget* parent)>;
    // Asks a yes/no question: true for yes.
    using Question = std::function<bool(QWidget* parent, const QString& text)>;

    COctavePackages(ISessionCommands& commands, CSessionEvents& events, QWidget* parent = nullptr);

    // Replace the platform's open-file dialog and message box (tests).
    void SetFileBrowser(FileBrowser browser) { m_browse = std::move(browser); }
    void SetQuestion(Question question) { m_ask = std::move(question); }

    static QString NoWriteAccessNote();

private:
    void Install();
    void InstallFile(const std::string& file, bool global);
    void Uninstall();
    void ForEachSelected(const std::function<std::string(const std::string& name)>& statement);

    FileBrowser m_browse;
    Question m_ask;
};
