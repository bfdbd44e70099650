#pragma once

#include <QByteArray>
#include <QString>

// A clicked error link of the command window ("/w/f.m at line 3 column 5",
// "near line 3, column 5 of file /w/f.m") as the editor's error-location
// message. The file is the existing file the link names; a link that names
// none gives an empty message and is ignored.
class CErrorLocation {
public:
    static QByteArray Message(const QString& link);
};
