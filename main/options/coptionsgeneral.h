#pragma once

#include "controls/cpropertypage.h"

class CKestruneSettings;
class COptionsNumber;
class QCheckBox;

// Page "General": confirmations, beep, and the sizes of the command window,
// the working folder list and the history.
class COptionsGeneral : public CPropertyPage {
    Q_OBJECT
public:
    COptionsGeneral(CKestruneSettings& settings, QWidget* parent = nullptr);

    void Load() override;
    bool Apply() override;

signals:
    // "Clear All": the working folder list is to keep only the folder shown.
    void clearWorkingPaths();

private:
    CKestruneSettings& m_settings;
    QCheckBox* m_autoUpdate;
    QCheckBox* m_clearWindow;
    QCheckBox* m_clearHistory;
    QCheckBox* m_clearVariables;
    QCheckBox* m_confirmExit;
    QCheckBox* m_beep;
    COptionsNumber* m_maxLines;
    COptionsNumber* m_maxDirs;
    COptionsNumber* m_maxHist;
};
