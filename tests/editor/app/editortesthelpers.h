#pragma once

#include <QByteArray>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

// Starts every test from empty editor settings.
inline void ClearEditorSettings()
{
    QSettings("Halvard", "Marlinote").clear();
    QSettings("Halvard", "Marlinote").sync();
}

inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(text);
    return path;
}
