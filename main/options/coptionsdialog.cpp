#include "main/options/coptionsdialog.h"

#include <QStyle>

#include "main/options/coptionseditor.h"
#include "main/options/coptionseditorautosave.h"
#include "main/options/coptionsediting.h"
#include "main/options/coptionsfontsandcolors.h"
#include "main/options/coptionsgeneral.h"
#include "main/options/coptionsoctave.h"
#include "platform/cprofile.h"

namespace {
// Pages of the editor's profile: "Editor" and everything after it.
constexpr int kFirstEditorPage = 2;
}  // namespace

COptionsDialog::COptionsDialog(const QString& program, const QString& editorProgram, QWidget* parent)
    : CTreePropertySheet(QStringLiteral("Options"), parent)
    , m_program(program)
    , m_editorProgram(editorProgram)
    , m_settings(CKestruneSettings::fromSettings(program))
{
    m_editor.fromSettings(CProfile(editorProgram));
    const auto icon = [this](QStyle::StandardPixmap pixmap) { return style()->standardIcon(pixmap); };
    AddPage(new COptionsOctave(m_settings, this), QStringLiteral("Octave"), icon(QStyle::SP_ComputerIcon));
    m_general = new COptionsGeneral(m_settings, this);
    AddPage(m_general, QStringLiteral("General"), icon(QStyle::SP_FileDialogDetailedView));
    connect(m_general, &COptionsGeneral::clearWorkingPaths, this, &COptionsDialog::ClearWorkingPaths);
    AddPage(new COptionsEditor(m_settings, m_editor, this), QStringLiteral("Editor"), icon(QStyle::SP_FileIcon));
    AddPage(new COptionsEditorAutosave(m_editor, this), QStringLiteral("Editor::Autosave"), icon(QStyle::SP_DialogSaveButton));
    AddPage(new COptionsFontsAndColors(m_editor, this), QStringLiteral("Editor::Fonts & Colors"), icon(QStyle::SP_DesktopIcon));
    AddPage(new COptionsEditing(m_editor, this), QStringLiteral("Editor::Editing"), icon(QStyle::SP_FileDialogContentsView));
    resize(720, 560);
    SetActiveIndex(m_settings.lastActiveIndex);
}

bool COptionsDialog::Run()
{
    return exec() == QDialog::Accepted;
}

void COptionsDialog::done(int result)
{
    // The page shown last is kept whichever way the sheet closes.
    CProfile(m_program).WriteInt(QStringLiteral("General"), QStringLiteral("LastActiveIndex"),
                                 qMax(0, ActiveIndex()));
    CTreePropertySheet::done(result);
}

void COptionsDialog::AfterApply()
{
    bool mainShown = false;
    bool editorShown = false;
    for (int i = 0; i < PageCount(); ++i) {
        if (Page(i)->WasShown())
            (i < kFirstEditorPage ? mainShown : editorShown) = true;
    }
    // "Editor" also holds three of the main program's settings.
    mainShown = mainShown || Page(kFirstEditorPage)->WasShown();
    if (mainShown) {
        // The working folders move on while the sheet is open: keep theirs.
        const CKestruneSettings current = CKestruneSettings::fromSettings(m_program);
        m_settings.workPath = current.workPath;
        m_settings.workingPaths = current.workingPaths;
        m_settings.lastActiveIndex = qMax(0, ActiveIndex());
        m_settings.toSettings(m_program);
        emit settingsApplied(m_settings);
    }
    if (editorShown) {
        CProfile profile(m_editorProgram);
        m_editor.toSettings(profile);
        emit editorPreferencesChanged();
    }
}

void COptionsDialog::ClearWorkingPaths()
{
    CKestruneSettings current = CKestruneSettings::fromSettings(m_program);
    current.workingPaths = current.workPath.isEmpty() ? QStringList() : QStringList{current.workPath};
    current.toSettings(m_program);
    emit workingPathsCleared();
}
