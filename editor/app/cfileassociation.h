#pragma once

#include <QString>

// Makes the editor the user's program for Octave script files: a desktop
// entry for it and the default application of their MIME types in the
// user's mimeapps.list. Written at every start; failures are not reported.
class CFileAssociation {
public:
    static constexpr const char* kDesktopFile = "marlinote.desktop";

    // applicationsDir receives the desktop entry, configDir mimeapps.list.
    CFileAssociation(const QString& applicationsDir, const QString& configDir);
    // The current user's folders.
    static CFileAssociation ForUser();

    void SetProgram(const QString& path) { m_program = path; }

    // Writes both files; false when one could not be written.
    bool Write() const;
    // Lets the desktop know, when its database tool is installed.
    void RefreshDesktopDatabase() const;

    // The Exec value: the program path quoted and escaped, then "%f".
    static QString ExecLine(const QString& program);

private:
    bool WriteDesktopEntry() const;
    bool WriteDefaults() const;

    QString m_applicationsDir;
    QString m_configDir;
    QString m_program;
};
