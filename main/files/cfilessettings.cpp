#include "main/files/cfilessettings.h"

#include <string>
#include <vector>

#include "common/cini.h"
#include "platform/ckestrunesettings.h"
#include "platform/cprofile.h"

namespace {
const char* const kUser = "User";
const char* const kSeparator = ",";

QStringList ReadList(CIni& ini, const char* key)
{
    std::vector<std::string> items;
    ini.GetArray(kUser, key, items, kSeparator);
    QStringList list;
    for (const std::string& item : items)
        list << QString::fromStdString(item);
    return list;
}

void WriteList(CIni& ini, const char* key, const QStringList& list)
{
    std::vector<std::string> items;
    for (const QString& item : list)
        items.push_back(item.toStdString());
    ini.WriteArray(kUser, key, items, -1, kSeparator);
}
}  // namespace

CFilesSettings CFilesSettings::fromSettings(const QString& programName)
{
    CFilesSettings settings;
    settings.lastFileFilter = CProfile(programName).GetInt(QStringLiteral("General"), QStringLiteral("LastFileFilter"), 2);
    CIni ini(CKestruneSettings::UserPathsFile(programName).toStdString().c_str());
    settings.findFiles = ReadList(ini, "FindFiles");
    settings.findTextInFiles = ReadList(ini, "FindTextInFiles");
    return settings;
}

void CFilesSettings::toSettings(const QString& programName) const
{
    CProfile(programName).WriteInt(QStringLiteral("General"), QStringLiteral("LastFileFilter"), lastFileFilter);
    CIni ini(CKestruneSettings::UserPathsFile(programName).toStdString().c_str());
    WriteList(ini, "FindFiles", findFiles);
    WriteList(ini, "FindTextInFiles", findTextInFiles);
}

bool CFilesSettings::Remember(QStringList& list, const QString& text)
{
    if (text.isEmpty() || text.contains(QLatin1Char(',')) || list.contains(text))
        return false;
    list.prepend(text);
    while (list.size() > kMaxRemembered)
        list.removeLast();
    return true;
}
