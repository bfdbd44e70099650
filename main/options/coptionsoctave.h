#pragma once

#include "controls/cpropertypage.h"

class CKestruneSettings;
class QCheckBox;
class QLineEdit;

// Page "Octave": the interpreter's folder and auto-connect. Apply refuses a
// folder without the interpreter, so nothing else is written either.
class COptionsOctave : public CPropertyPage {
public:
    COptionsOctave(CKestruneSettings& settings, QWidget* parent = nullptr);

    void Load() override;
    bool Apply() override;

    QLineEdit* Folder() const { return m_folder; }

    static QString MissingMessage(const QString& folder);

private:
    CKestruneSettings& m_settings;
    QLineEdit* m_folder;
    QCheckBox* m_autoStart;
};
