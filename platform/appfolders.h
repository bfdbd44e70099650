#pragma once

#include <QString>

// The folders every program needs.
namespace AppFolders {

// The folder holding the running executable (no trailing "/").
QString ProgramFolder();

// The folder named "Work" beside the program's folder (the program folder's
// parent + "/Work"), created when missing. When it cannot be created, a
// folder in the user's home ("~/Kestrune/Work") is used instead.
QString WorkFolder();

// The same rule for a given program folder (WorkFolder uses ProgramFolder()).
QString WorkFolderBeside(const QString& programFolder);

// The application data folder of the named program (created when missing),
// where "userpaths.dat" and "userfiles.dat" live.
QString AppDataFolder(const QString& programName);

// A private temporary folder for this running process, mode 0700, created on
// first use and removed when the program ends normally. Ends without "/".
QString PrivateTempFolder();

// Removes the private temporary folder now (also done at normal exit).
void RemovePrivateTempFolder();

}  // namespace AppFolders
