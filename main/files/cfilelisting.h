#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

#include <vector>

// One row of the current-directory list. A row is a folder exactly when its
// size text is empty.
struct CFileEntry {
    QString name;
    QString sizeText;
    QString dateText;
    QString typeText;
    bool IsFolder() const { return sizeText.isEmpty(); }
    bool operator==(const CFileEntry& o) const
    {
        return name == o.name && sizeText == o.sizeText && dateText == o.dateText && typeText == o.typeText;
    }
    bool operator!=(const CFileEntry& o) const { return !(*this == o); }
};

// Lists a folder as the pane shows it: "..", the sub-folders, then the files
// matching any of the ";"-separated patterns, each group sorted by name.
// Type texts and icons are looked up once per extension, so a large folder
// lists quickly.
class CFileListing {
public:
    static std::vector<CFileEntry> List(const QString& folder, const QString& patterns);

    // "%d KB" with length / 1024 + 1 below 1 MiB, "%d MB" below 1 GiB, else "%d GB".
    static QString SizeText(qint64 length);
    // The desktop's name for the file's type; without one, the extension in
    // upper case followed by " File".
    static QString TypeText(const QString& name, bool folder);
    static QIcon Icon(const CFileEntry& entry);
};
