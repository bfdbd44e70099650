#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include "main/files/cdirectorywatcher.h"

class CSessionEvents;
class ISessionCommands;
class QComboBox;

// The program's working folder, which is also the interpreter's current
// folder: changes it (from the directory box, a typed "cd", the file list,
// start-up), follows the interpreter when a statement changed its folder
// (a cd in a script), keeps the recent folders ("WorkingPaths", at most
// "MaxDirs"), tells the interpreter and the editor program, and watches the
// folder so the file list follows changes made by other programs.
//
// THREADING: GUI thread only.
class CWorkingFolder : public QObject {
    Q_OBJECT
public:
    // box: the main window's directory box (may be null); it is filled with
    // the recent folders and always shows the working folder.
    CWorkingFolder(ISessionCommands& commands, CSessionEvents& events, QComboBox* box,
                   const QString& programName, QObject* parent = nullptr);

    // The stored "workpath".
    QString Folder() const;

    // ".." (the parent), "." (nothing), a name relative to the working
    // folder, "~", or a full path; quotes around it are dropped. False (with
    // a message box) when the target is not a folder.
    bool ChangeDirectory(const QString& target);

    // The interpreter is in folder already (it started there): stores,
    // watches, shows and announces it without sending "cd". False when it
    // is not a folder.
    bool Follow(const QString& folder);

    // Fills the box with the recent folders that still exist.
    void FillBox();

signals:
    // The working folder is now folder (the file list refreshes).
    void folderChanged(const QString& folder);
    // Something in the working folder changed on disk.
    void contentsChanged();
    // "setcurrentpath=<folder>/" for the editor program.
    void editorTextRequested(const QByteArray& text);

private:
    QString Resolve(const QString& target, const QString& current, bool* stay) const;
    void Adopt(const QString& folder);
    void Refuse(const QString& target, const QString& typed, const QString& current);
    void SetBox(const QString& folder);
    void CheckInterpreterFolder();

    ISessionCommands& m_commands;
    QPointer<QComboBox> m_box;
    QString m_program;
    CDirectoryWatcher m_watcher;
};
