#pragma once

#include <QString>
#include <QStringList>

#include <string>

// The statements the current-directory pane sends for files. Every path is
// quoted (platform/octavequote.h) and put in the function form, so blanks
// and quotes in names survive. An empty result means the path cannot be put
// on one statement line (it holds a line break).
class CFileStatements {
public:
    // ".mat", ".hdf5", ".fhdf5", ".bin", ".fbin", ".zip": opened by loading.
    static bool IsDataFile(const QString& name);
    // The data files and ".txt": Load is offered for them.
    static bool IsLoadable(const QString& name);

    static std::string Load(const QString& path);   // "load('<path>'); "
    static std::string Edit(const QString& path);   // "edit('<path>'); "
    static std::string Run(const QString& path);    // "run('<path>')"
    static std::string ChangeFolder(const QString& folder);  // "cd '<folder>';###"

private:
    static QString Extension(const QString& name);
};
