#pragma once

#include <QString>
#include <QStringList>

// The settings of the current-directory pane and Find Files: "LastFileFilter"
// in the profile's "General" section, and the remembered search lists
// "FindFiles" and "FindTextInFiles" (section "User" of "userpaths.dat",
// joined by ",", newest first). Read and written here only.
class CFilesSettings {
public:
    int lastFileFilter = 2;
    QStringList findFiles;
    QStringList findTextInFiles;

    // Longest remembered search lists.
    static constexpr int kMaxRemembered = 20;

    static CFilesSettings fromSettings(const QString& programName);
    void toSettings(const QString& programName) const;

    // Puts text at the top of list unless it is there; a text holding the
    // list separator "," is not remembered. The list is capped. True when
    // the list changed.
    static bool Remember(QStringList& list, const QString& text);

    bool operator==(const CFilesSettings& o) const
    {
        return lastFileFilter == o.lastFileFilter && findFiles == o.findFiles && findTextInFiles == o.findTextInFiles;
    }
};
