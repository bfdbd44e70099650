#include "editor/cuserfiles.h"

#include "common/cini.h"
#include "platform/appfolders.h"

#include <QFile>

#include <string>

namespace {

const char* const kOpenFilesSeparator = "|;|";

QStringList ToStringList(const std::vector<std::string>& items)
{
    QStringList list;
    list.reserve(int(items.size()));
    for (const std::string& item : items)
        list.append(QString::fromStdString(item));
    return list;
}

std::vector<std::string> ToStdList(const QStringList& items)
{
    std::vector<std::string> list;
    list.reserve(size_t(items.size()));
    for (const QString& item : items)
        list.push_back(item.toStdString());
    return list;
}

}  // namespace

QString CUserFiles::DefaultPath()
{
    return AppFolders::AppDataFolder(QStringLiteral("Marlinote")) + QStringLiteral("/userfiles.dat");
}

void CUserFiles::Read()
{
    CIni ini(QFile::encodeName(m_path).constData());
    std::vector<std::string> items;
    ini.GetArray("User", "OpenFiles", items, kOpenFilesSeparator);
    openFiles = ToStringList(items);

    items.clear();
    ini.GetArray("User", "FilesPositions", items);
    positions.clear();
    for (const std::string& item : items) {
        bool ok = false;
        const long position = QByteArray::fromStdString(item).trimmed().toLong(&ok);
        positions.push_back(ok && position >= 0 ? position : 0);
    }

    fileVisible = QString::fromStdString(ini.GetString("User", "FileVisible", ""));

    items.clear();
    ini.GetArray("System", "KeyWords", items);
    keyWords = ToStringList(items);
}

bool CUserFiles::Write() const
{
    CIni ini(QFile::encodeName(m_path).constData());
    std::vector<std::string> positionTexts;
    for (long position : positions)
        positionTexts.push_back(std::to_string(position));
    bool ok = ini.WriteArray("User", "OpenFiles", ToStdList(openFiles), -1, kOpenFilesSeparator);
    ok = ini.WriteArray("User", "FilesPositions", positionTexts) && ok;
    ok = ini.WriteString("User", "FileVisible", fileVisible.toStdString().c_str()) && ok;
    ok = ini.WriteArray("System", "KeyWords", ToStdList(keyWords)) && ok;
    return ok;
}

long CUserFiles::PositionOf(const QString& path) const
{
    const int index = openFiles.indexOf(path);
    if (index < 0 || size_t(index) >= positions.size())
        return -1;
    return positions[size_t(index)];
}
