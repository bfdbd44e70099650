#include "editor/app/cfileassociation.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace {

const char* const kMimeTypes[] = {"text/x-octave", "text/x-matlab"};
const char* const kDefaultsGroup = "[Default Applications]";

bool WriteText(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

}  // namespace

CFileAssociation::CFileAssociation(const QString& applicationsDir, const QString& configDir)
    : m_applicationsDir(applicationsDir), m_configDir(configDir)
{
}

CFileAssociation CFileAssociation::ForUser()
{
    return CFileAssociation(QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation),
                            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString CFileAssociation::ExecLine(const QString& program)
{
    // Inside the quotes `"`, "`", "$" and "\" take a backslash; the entry's
    // own string escaping then doubles every backslash; "%" is written "%%".
    QString quoted;
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QStringLiteral("\"%1\" %f").arg(quoted);
}

bool CFileAssociation::WriteDesktopEntry() const
{
    QStringList types;
    for (const char* type : kMimeTypes)
        types << QString::fromLatin1(type);
    const QString entry = QStringLiteral(
                              "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Marlinote\n"
                              "Comment=Octave script editor\n"
                              "Exec=%1\n"
                              "Icon=marlinote\n"
                              "Terminal=false\n"
                              "Categories=Development;TextEditor;\n"
                              "MimeType=%2;\n")
                              .arg(ExecLine(m_program), types.join(QLatin1Char(';')));
    return QDir().mkpath(m_applicationsDir) &&
           WriteText(QDir(m_applicationsDir).filePath(QString::fromLatin1(kDesktopFile)), entry);
}

bool CFileAssociation::WriteDefaults() const
{
    // Other groups and other types keep their entries.
    const QString path = QDir(m_configDir).filePath(QStringLiteral("mimeapps.list"));
    QStringList lines;
    QFile old(path);
    if (old.open(QIODevice::ReadOnly))
        lines = QString::fromUtf8(old.readAll()).split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();

    int group = lines.indexOf(QString::fromLatin1(kDefaultsGroup));
    if (group < 0) {
        if (!lines.isEmpty())
            lines << QString();
        lines << QString::fromLatin1(kDefaultsGroup);
        group = int(lines.size()) - 1;
    }
    int end = group + 1;
    while (end < lines.size() && !lines[end].startsWith(QLatin1Char('[')))
        ++end;
    for (const char* type : kMimeTypes) {
        const QString key = QString::fromLatin1(type) + QLatin1Char('=');
        const QString line = key + QString::fromLatin1(kDesktopFile) + QLatin1Char(';');
        bool replaced = false;
        for (int i = group + 1; i < end; ++i) {
            if (lines[i].startsWith(key)) {
                lines[i] = line;
                replaced = true;
            }
        }
        if (!replaced)
            lines.insert(end++, line);
    }
    return QDir().mkpath(m_configDir) && WriteText(path, lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

bool CFileAssociation::Write() const
{
    const bool entry = WriteDesktopEntry();
    const bool defaults = WriteDefaults();
    return entry && defaults;
}

void CFileAssociation::RefreshDesktopDatabase() const
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!tool.isEmpty())
        QProcess::startDetached(tool, {m_applicationsDir});
}
