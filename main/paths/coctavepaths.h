#pragma once

#include <QString>

#include <functional>

#include "main/paths/clistdialog.h"

// What the search-path dialog reads from the program's settings.
struct CSearchPathSettings {
    QString browseFolder;   // where the folder browser starts ("Octave/path")
    QString userPathsFile;  // "userpaths.dat", holding the stored list "Paths"

    bool operator==(const CSearchPathSettings& other) const
    {
        return browseFolder == other.browseFolder && userPathsFile == other.userPathsFile;
    }
};

// "Set Paths": the interpreter's function search path, with buttons to add
// a folder, add a folder with every folder below it, and remove folders.
// Folders the user adds are kept in the stored list "Paths" so that the
// next start adds them again; a folder the interpreter really removed
// leaves that list.
class COctavePaths : public CListDialog {
    Q_OBJECT
public:
    // Asks for a folder: the chosen folder, or an empty text when cancelled.
    using FolderBrowser = std::function<QString(QWidget* parent, const QString& title, const QString& start)>;

    COctavePaths(ISessionCommands& commands, CSessionEvents& events, CSearchPathSettings settings,
                 QWidget* parent = nullptr);

    void SetSettings(const CSearchPathSettings& settings) { m_settings = settings; }
    // Replaces the platform's folder picker (tests).
    void SetFolderBrowser(FolderBrowser browser) { m_browse = std::move(browser); }

private:
    void AddFolder(bool withSubfolders);
    void Remove();
    void AddFolders(const std::vector<std::string>& folders);
    void ShowRemoveNote(bool saved, const std::vector<std::string>& kept, const QString& file);

    CSearchPathSettings m_settings;
    FolderBrowser m_browse;
};
