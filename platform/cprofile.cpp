#include "platform/cprofile.h"

#include <QSettings>

namespace {

QString KeyPath(const QString& section, const QString& key)
{
    return section.isEmpty() ? key : section + QLatin1Char('/') + key;
}

}  // namespace

CProfile::CProfile(const QString& programName)
    : m_program(programName)
{
}

int CProfile::GetInt(const QString& section, const QString& key, int defaultValue) const
{
    QSettings settings(QStringLiteral("Halvard"), m_program);
    const QVariant value = settings.value(KeyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : defaultValue;
}

QString CProfile::GetString(const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    QSettings settings(QStringLiteral("Halvard"), m_program);
    const QVariant value = settings.value(KeyPath(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

bool CProfile::WriteInt(const QString& section, const QString& key, int value)
{
    QSettings settings(QStringLiteral("Halvard"), m_program);
    settings.setValue(KeyPath(section, key), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool CProfile::WriteString(const QString& section, const QString& key, const QString& value)
{
    QSettings settings(QStringLiteral("Halvard"), m_program);
    settings.setValue(KeyPath(section, key), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
