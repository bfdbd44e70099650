#pragma once

#include <QString>

// The program's settings profile: QSettings under the organisation "Halvard"
// and the program's name, addressed by section and key ("Octave/path").
// Defaults are given at each call site.
class CProfile {
public:
    explicit CProfile(const QString& programName);

    int GetInt(const QString& section, const QString& key, int defaultValue) const;
    QString GetString(const QString& section, const QString& key,
                      const QString& defaultValue = QString()) const;
    bool WriteInt(const QString& section, const QString& key, int value);
    bool WriteString(const QString& section, const QString& key, const QString& value);

    const QString& ProgramName() const { return m_program; }

private:
    QString m_program;
};
