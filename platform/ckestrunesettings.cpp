#include "platform/ckestrunesettings.h"

#include <string>
#include <tuple>
#include <vector>

#include "common/cini.h"
#include "platform/appfolders.h"
#include "platform/cprofile.h"

namespace {
const QString kOctave = QStringLiteral("Octave");
const QString kGeneral = QStringLiteral("General");
const char* const kUserSection = "User";
const char* const kWorkingPaths = "WorkingPaths";
const char* const kListDelimiter = "|;|";

// One flag or number of the profile, read and written the same way.
struct IntEntry {
    const QString& section;
    QString key;
    int CKestruneSettings::*number = nullptr;
    bool CKestruneSettings::*flag = nullptr;
};

const std::vector<IntEntry>& IntEntries()
{
    using S = CKestruneSettings;
    static const std::vector<IntEntry> entries{
        {kOctave, QStringLiteral("AutoStart"), nullptr, &S::autoStart},
        {kOctave, QStringLiteral("ConfirmExit"), nullptr, &S::confirmExit},
        {kOctave, QStringLiteral("OpenEditorStart"), nullptr, &S::openEditorStart},
        {kOctave, QStringLiteral("CloseEditorExit"), nullptr, &S::closeEditorExit},
        {kOctave, QStringLiteral("UseSeparateEditor"), nullptr, &S::useSeparateEditor},
        {kGeneral, QStringLiteral("AutoUpdate"), nullptr, &S::autoUpdate},
        {kGeneral, QStringLiteral("ConfirmClearWindow"), nullptr, &S::confirmClearWindow},
        {kGeneral, QStringLiteral("ConfirmClearHistory"), nullptr, &S::confirmClearHistory},
        {kGeneral, QStringLiteral("ConfirmClearVariables"), nullptr, &S::confirmClearVariables},
        {kGeneral, QStringLiteral("BeepOnErrors"), nullptr, &S::beepOnErrors},
        {kGeneral, QStringLiteral("MaxLines"), &S::maxLines, nullptr},
        {kGeneral, QStringLiteral("MaxDirs"), &S::maxDirs, nullptr},
        {kGeneral, QStringLiteral("MaxHist"), &S::maxHist, nullptr},
        {kGeneral, QStringLiteral("LastActiveIndex"), &S::lastActiveIndex, nullptr},
    };
    return entries;
}
}  // namespace

CKestruneSettings CKestruneSettings::Defaults()
{
    CKestruneSettings settings;
    settings.workPath = AppFolders::WorkFolder();
    return settings;
}

void CKestruneSettings::StoreWorkPath(const QString& folder, const QString& programName)
{
    CProfile(programName).WriteString(kOctave, QStringLiteral("workpath"), folder);
}

void CKestruneSettings::StoreStartFailed(const QString& programName)
{
    CProfile profile(programName);
    profile.WriteInt(kGeneral, QStringLiteral("LastActiveIndex"), 0);
    profile.WriteInt(kOctave, QStringLiteral("FirstRun"), 1);
}

QString CKestruneSettings::UserPathsFile(const QString& programName)
{
    return AppFolders::AppDataFolder(programName) + QStringLiteral("/userpaths.dat");
}

CKestruneSettings CKestruneSettings::fromSettings(const QString& programName)
{
    const CKestruneSettings defaults = Defaults();
    CKestruneSettings settings = defaults;
    const CProfile profile(programName);
    for (const IntEntry& entry : IntEntries()) {
        if (entry.flag)
            settings.*entry.flag = profile.GetInt(entry.section, entry.key, defaults.*entry.flag ? 1 : 0) != 0;
        else
            settings.*entry.number = profile.GetInt(entry.section, entry.key, defaults.*entry.number);
    }
    settings.octavePath = profile.GetString(kOctave, QStringLiteral("path"), defaults.octavePath);
    settings.workPath = profile.GetString(kOctave, QStringLiteral("workpath"), defaults.workPath);

    CIni ini(UserPathsFile(programName).toStdString().c_str());
    std::vector<std::string> folders;
    ini.GetArray(kUserSection, kWorkingPaths, folders, kListDelimiter);
    for (const std::string& folder : folders)
        settings.workingPaths << QString::fromStdString(folder);
    return settings;
}

void CKestruneSettings::toSettings(const QString& programName) const
{
    CProfile profile(programName);
    for (const IntEntry& entry : IntEntries())
        profile.WriteInt(entry.section, entry.key, entry.flag ? (this->*entry.flag ? 1 : 0) : this->*entry.number);
    profile.WriteString(kOctave, QStringLiteral("path"), octavePath);
    profile.WriteString(kOctave, QStringLiteral("workpath"), workPath);

    std::vector<std::string> folders;
    for (const QString& folder : workingPaths)
        folders.push_back(folder.toStdString());
    CIni ini(UserPathsFile(programName).toStdString().c_str());
    ini.WriteArray(kUserSection, kWorkingPaths, folders, -1, kListDelimiter);
}

bool CKestruneSettings::operator==(const CKestruneSettings& o) const
{
    for (const IntEntry& entry : IntEntries()) {
        if (entry.flag ? this->*entry.flag != o.*entry.flag : this->*entry.number != o.*entry.number)
            return false;
    }
    return std::tie(octavePath, workPath, workingPaths) == std::tie(o.octavePath, o.workPath, o.workingPaths);
}
