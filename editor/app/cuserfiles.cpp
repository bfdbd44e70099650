#include "editor/app/cuserfiles.h"

#include "common/cini.h"
#include "editor/core/filenamebytes.h"
#include "platform/appfolders.h"

#include <QFile>

#include <string>

namespace {

const char* const kOpenFilesSeparator = "|;|";

// Paths are kept as the system's bytes, valid UTF-8 or not.
QStringList ToPathList(const std::vector<std::string>& items)
{
    QStringList list;
    list.reserve(int(items.size()));
    for (const std::string& item : items)
        list.append(FileNameBytes::Decode(QByteArray::fromStdString(item)));
    return list;
}

std::string PathBytes(const QString& path)
{
    return FileNameBytes::Encode(path).toStdString();
}

// An entry that would break the file's lines or its list.
bool Storable(const QString& text)
{
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))
           && !text.contains(QLatin1Char('\0')) && !text.contains(QLatin1String(kOpenFilesSeparator));
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
    openFiles = ToPathList(items);

    items.clear();
    ini.GetArray("User", "FilesPositions", items);
    positions.clear();
    for (const std::string& item : items) {
        bool ok = false;
        const long position = QByteArray::fromStdString(item).trimmed().toLong(&ok);
        positions.push_back(ok && position >= 0 ? position : 0);
    }

    fileVisible = FileNameBytes::Decode(QByteArray::fromStdString(ini.GetString("User", "FileVisible", "")));

    items.clear();
    ini.GetArray("System", "KeyWords", items);
    keyWords.clear();
    for (const std::string& item : items)
        keyWords.append(QString::fromStdString(item));
}

bool CUserFiles::Write(QStringList* skipped) const
{
    CIni ini(QFile::encodeName(m_path).constData());
    std::vector<std::string> files;
    std::vector<std::string> positionTexts;
    for (int i = 0; i < openFiles.size(); ++i) {
        if (!Storable(openFiles[i])) {
            if (skipped)
                skipped->append(openFiles[i]);
            continue;
        }
        files.push_back(PathBytes(openFiles[i]));
        positionTexts.push_back(std::to_string(size_t(i) < positions.size() ? positions[size_t(i)] : 0));
    }
    std::vector<std::string> words;
    for (const QString& word : keyWords) {
        if (Storable(word))
            words.push_back(word.toStdString());
    }
    const std::string visible = Storable(fileVisible) ? PathBytes(fileVisible) : std::string();
    bool ok = ini.WriteArray("User", "OpenFiles", files, -1, kOpenFilesSeparator);
    ok = ini.WriteArray("User", "FilesPositions", positionTexts) && ok;
    ok = ini.WriteString("User", "FileVisible", visible.c_str()) && ok;
    ok = ini.WriteArray("System", "KeyWords", words) && ok;
    return ok;
}

long CUserFiles::PositionOf(const QString& path) const
{
    const int index = openFiles.indexOf(path);
    if (index < 0 || size_t(index) >= positions.size())
        return -1;
    return positions[size_t(index)];
}
