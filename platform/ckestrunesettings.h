#pragma once

#include <QString>
#include <QStringList>

// The main program's settings: the "Octave" and "General" sections of its
// profile (QSettings "Halvard"/"Kestrune") and the list of working folders
// kept in "userpaths.dat". Read and written here only; the defaults are the
// member initialisers (and the work folder, see Defaults()).
class CKestruneSettings {
public:
    // "Octave"
    QString octavePath;            // "path": folder holding octave (empty: found on PATH)
    bool autoStart = true;         // "AutoStart": connect at start-up
    bool confirmExit = true;       // "ConfirmExit": ask before disconnecting on exit
    bool openEditorStart = true;   // "OpenEditorStart": open the separate editor at start-up
    bool closeEditorExit = true;   // "CloseEditorExit": close the editor program on exit
    bool useSeparateEditor = false;  // "UseSeparateEditor": no embedded editor pane
    QString workPath;              // "workpath": the interpreter's current folder

    // "General"
    bool autoUpdate = true;              // "AutoUpdate"
    bool confirmClearWindow = false;     // "ConfirmClearWindow"
    bool confirmClearHistory = false;    // "ConfirmClearHistory"
    bool confirmClearVariables = false;  // "ConfirmClearVariables"
    bool beepOnErrors = false;           // "BeepOnErrors"
    int maxLines = 2000;                 // "MaxLines": lines kept in the command window
    int maxDirs = 20;                    // "MaxDirs": folders kept in the working folder list
    int maxHist = 100;                   // "MaxHist": history entries kept at load
    int lastActiveIndex = 0;             // "LastActiveIndex": the options dialog's page

    // "userpaths.dat", section "User", key "WorkingPaths" (joined by "|;|").
    QStringList workingPaths;

    // Everything at its default; the work folder is the program's.
    static CKestruneSettings Defaults();
    static CKestruneSettings fromSettings(const QString& programName = DefaultProgram());
    void toSettings(const QString& programName = DefaultProgram()) const;
    // Stores only the working folder (the session's start-up replaces a
    // folder that is gone, without touching the other settings).
    static void StoreWorkPath(const QString& folder, const QString& programName = DefaultProgram());
    // The interpreter could not be started: the options dialog opens on its
    // first page, and "FirstRun" is set.
    static void StoreStartFailed(const QString& programName = DefaultProgram());

    // The file that keeps the working folders and the search path.
    static QString UserPathsFile(const QString& programName = DefaultProgram());
    static QString DefaultProgram() { return QStringLiteral("Kestrune"); }

    bool operator==(const CKestruneSettings& other) const;
    bool operator!=(const CKestruneSettings& other) const { return !(*this == other); }
};
