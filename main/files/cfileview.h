#pragma once

#include <QHash>
#include <QList>
#include <QUrl>
#include <QWidget>


class CFilesExplorer;
class CSessionEvents;
class CWorkingFolder;
class ISessionCommands;
class QAction;
class QComboBox;
class QMenu;
class QToolBar;

// The current-directory pane: a toolbar, the filter box and the file list
// of the working folder, with every action on the listed files. Statements
// go to the interpreter through the session commands; a folder change goes
// through the working folder.
//
// THREADING: GUI thread only.
class CFileView : public QWidget {
    Q_OBJECT
public:
    // The command ids of the list's context menu.
    enum Command {
        NewFolder = 32804, Open = 32805, RunFile = 32806, OpenAsText = 32807, Rename = 32808, Duplicate = 32809,
        SelectAll = 32810, Delete = 32811, Refresh = 32812, Load = 32813, CompareSelected = 32876,
        CompareAgainst = 32877, Cut = 32881, Copy = 32882, Paste = 32883, LocateOnDisk = 32885,
        CreateZip = 32887, Extract = 32889
    };

    CFileView(ISessionCommands& commands, CSessionEvents& events, CWorkingFolder& folder,
              const QString& programName, QWidget* parent = nullptr);

    CFilesExplorer* List() const { return m_list; }
    QComboBox* FilterBox() const { return m_filter; }
    QAction* Action(Command id) const { return m_actions.value(id); }

    // Lists the working folder with the filter box's typed text (fromList
    // false) or its chosen entry.
    void RefreshFileList(bool fromList = false);
    // Sets the context menu's and the toolbar's enabled states for the selection.
    void UpdateActions();

    // Copies or moves files into the working folder, asking before a file is replaced.
    void TransferInto(const QList<QUrl>& urls, bool move);

signals:
    // Compare two paths; Compare Against gives "unknown" as the second one.
    void compareRequested(const QString& first, const QString& second);
    void workspacePaneRequested();
    void editorPaneRequested();
    // A text for the status bar (what an action could not do).
    void statusMessage(const QString& text);

private:
    void CreateActions();
    QAction* AddAction(Command id, const QString& text, const QKeySequence& key = QKeySequence());
    void ShowContextMenu(const QPoint& at);
    QString Ask(const QString& title, const QString& prompt, const QString& text, bool* ok);

    void OnOpen();
    void OnOpenAsText();
    void OnLoad();
    void OnRunFile();
    void OnRename();
    void OnDuplicate();
    void OnDelete();
    void OnNewFolder();
    void OnCreateZip();
    void OnExtract();
    void OnCompareSelected();
    void OnCompareAgainst();
    void OnLocate();
    void OnCopy(bool cut);
    void OnPaste();

    ISessionCommands& m_commands;
    CWorkingFolder& m_folder;
    QString m_program;
    QToolBar* m_toolbar = nullptr;
    QComboBox* m_filter = nullptr;
    CFilesExplorer* m_list = nullptr;
    QMenu* m_menu = nullptr;
    QHash<int, QAction*> m_actions;
};
