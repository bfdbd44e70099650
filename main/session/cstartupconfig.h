#pragma once

#include <QString>
#include <QStringList>
#include <string>


// What the start-up reads from the settings and the statements it sends once
// the interpreter is ready.
class CStartupConfig {
public:
    // The folder holding the interpreter (the stored "path" setting); when
    // that is empty, the folder of `octave` found on PATH, else "/usr/bin".
    static QString OctaveFolder(const QString& stored);
    static QString DefaultOctaveFolder();

    // Program and arguments that start the interpreter from folder.
    static QString OctaveProgram(const QString& folder);
    static QStringList OctaveArguments(const QString& folder);
    // The same as one command line (programs are named by path, unquoted).
    static QString CommandLine(const QString& folder);

    // The statement that makes the interpreter's edit command open files in
    // the editor program, in the dialect of the interpreter's major version.
    static std::string EditorStatement(const QString& programFolder, int majorVersion);
    static std::string ProfileStatusStatement();
    static std::string GraphicsStatement(int majorVersion);
    // "cd '<folder>';###"; empty when the folder cannot be quoted.
    static std::string ChangeFolderStatement(const QString& folder);

    // The working folder: the stored one when it exists; otherwise fallback,
    // which is stored as the new working folder.
    static QString WorkingFolder(const QString& programName, const QString& fallback, bool* replaced = nullptr);

    // The stored search-path folders, without duplicates, keeping only
    // existing folders; the cleaned list is stored back.
    static QStringList LoadSearchPaths(const QString& userPathsFile);
    static std::string AddPathStatement(const QStringList& folders);
};
