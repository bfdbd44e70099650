#pragma once

#include "controls/ctreepropertysheet.h"
#include "platform/ceditorsettings.h"
#include "platform/ckestrunesettings.h"

class COptionsGeneral;

// The "Options" sheet of both programs: the main program's "Octave" and
// "General" sections and the editor's profile. Opens on "LastActiveIndex";
// Apply writes what the shown pages changed and announces the editor's part.
class COptionsDialog : public CTreePropertySheet {
    Q_OBJECT
public:
    COptionsDialog(const QString& program, const QString& editorProgram, QWidget* parent = nullptr);

    // Runs the sheet modally, stores the last page shown; true for OK.
    bool Run();

    COptionsGeneral* GeneralPage() const { return m_general; }
    const CKestruneSettings& Settings() const { return m_settings; }

signals:
    // The editor's profile was written: send it "UpdatePreferences".
    void editorPreferencesChanged();
    // The main program's settings were written.
    void settingsApplied(const CKestruneSettings& settings);
    // "Clear All": the stored working folder list holds only the current one.
    void workingPathsCleared();

protected:
    void AfterApply() override;
    void done(int result) override;

private:
    void ClearWorkingPaths();

    QString m_program;
    QString m_editorProgram;
    CKestruneSettings m_settings;
    CEditorSettings m_editor;
    COptionsGeneral* m_general;
};
