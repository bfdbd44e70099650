#include "main/session/cstartupconfig.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <vector>

#include "common/cini.h"
#include "platform/ckestrunesettings.h"
#include "platform/octavequote.h"

QString CStartupConfig::DefaultOctaveFolder()
{
    const QString found = QStandardPaths::findExecutable(QStringLiteral("octave"));
    if (!found.isEmpty())
        return QFileInfo(found).absolutePath();
    return QStringLiteral("/usr/bin");
}

QString CStartupConfig::OctaveFolder(const QString& stored)
{
    QString folder = stored;
    if (folder.isEmpty())
        folder = DefaultOctaveFolder();
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString CStartupConfig::OctaveProgram(const QString& folder)
{
    return folder + QStringLiteral("/octave");
}

QStringList CStartupConfig::OctaveArguments(const QString& folder)
{
    QStringList arguments{QStringLiteral("--interactive"), QStringLiteral("--no-history")};
    // A Cygwin build wants the traditional mode; kept for such folders.
    if (folder.contains(QStringLiteral("cygwin"), Qt::CaseInsensitive))
        arguments << QStringLiteral("--traditional");
    return arguments;
}

QString CStartupConfig::CommandLine(const QString& folder)
{
    return (QStringList{OctaveProgram(folder)} + OctaveArguments(folder)).join(QLatin1Char(' '));
}

std::string CStartupConfig::EditorStatement(const QString& programFolder, int majorVersion)
{
    const std::string editor = programFolder.toStdString() + "/marlinote";
    if (majorVersion > 0 && majorVersion < 4) {
        std::string literal;
        if (!OctaveQuote(editor + " %s", literal))
            return std::string();
        return "edit editor " + literal + "; edit mode async;";
    }
    // edit runs sprintf([EDITOR() " %s"], file) through the shell: the
    // program's path is quoted for the shell, and a '%' in it is doubled.
    std::string command = "'";
    for (const char c : editor) {
        if (c == '\'')
            command += "'\\''";
        else if (c == '%')
            command += "%%";
        else
            command += c;
    }
    command += "'";
    std::string literal;
    if (!OctaveQuote(command, literal))
        return std::string();
    return "EDITOR(" + literal + "); edit mode async;";
}

std::string CStartupConfig::ProfileStatusStatement()
{
    return "function GetProfStatus(), disp(profile ('status')); end;";
}

std::string CStartupConfig::GraphicsStatement(int majorVersion)
{
    if (majorVersion > 0 && majorVersion < 4)
        return "graphics_toolkit gnuplot;";
    return "warning('off','Octave:gnuplot-graphics'); graphics_toolkit gnuplot;";
}

std::string CStartupConfig::ChangeFolderStatement(const QString& folder)
{
    std::string literal;
    if (!OctaveQuote(folder.toStdString(), literal))
        return std::string();
    return "cd " + literal + ";###";
}

QString CStartupConfig::WorkingFolder(const QString& programName, const QString& fallback, bool* replaced)
{
    const QString stored = CKestruneSettings::fromSettings(programName).workPath;
    if (replaced)
        *replaced = false;
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return stored;
    CKestruneSettings::StoreWorkPath(fallback, programName);
    if (replaced)
        *replaced = true;
    return fallback;
}

QStringList CStartupConfig::LoadSearchPaths(const QString& userPathsFile)
{
    CIni ini(userPathsFile.toStdString().c_str());
    std::vector<std::string> stored;
    ini.GetArray("User", "Paths", stored, ",");
    QStringList kept;
    std::vector<std::string> keptBytes;
    for (const std::string& entry : stored) {
        const QString folder = QString::fromStdString(entry);
        if (folder.isEmpty() || kept.contains(folder) || !QFileInfo(folder).isDir())
            continue;
        kept << folder;
        keptBytes.push_back(entry);
    }
    if (keptBytes.size() != stored.size())
        ini.WriteArray("User", "Paths", keptBytes, -1, ",");
    return kept;
}

std::string CStartupConfig::AddPathStatement(const QStringList& folders)
{
    // One argument per folder: a joined list would need the interpreter's
    // path separator, and a folder holding it would split in two.
    std::string statement;
    for (const QString& folder : folders) {
        std::string literal;
        if (!OctaveQuote(folder.toStdString(), literal))
            continue;
        statement += statement.empty() ? "addpath(" : ",";
        statement += literal;
    }
    if (statement.empty())
        return statement;
    return statement + ");";
}
