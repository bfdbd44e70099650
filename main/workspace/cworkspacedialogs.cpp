#include "main/workspace/cworkspacedialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "platform/ckestrunesettings.h"

namespace {

QString DataFileFilter()
{
    return QStringLiteral(
        "Matlab File (*.mat);;Hdf5 Format (*.hdf5);;Hdf5 Single Precision (*.fhdf5);;Ascii File (*.txt);;"
        "Binary (*.bin);;Float Binary (*.fbin);;Zip Format (*.zip)");
}

QString Choose(QWidget* parent, QFileDialog::AcceptMode mode)
{
    // The interpreter's folder, not wherever the last dialog of the program was.
    QFileDialog dialog(parent, mode == QFileDialog::AcceptSave ? QStringLiteral("Save As") : QStringLiteral("Open"),
                       CKestruneSettings::fromSettings().workPath, DataFileFilter());
    dialog.setDefaultSuffix(QStringLiteral("mat"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

}  // namespace

QString CWorkspaceDialogs::SaveFileName(QWidget* parent)
{
    return Choose(parent, QFileDialog::AcceptSave);
}

QString CWorkspaceDialogs::OpenFileName(QWidget* parent)
{
    return Choose(parent, QFileDialog::AcceptOpen);
}

bool CWorkspaceDialogs::AskText(QWidget* parent, const QString& title, const QString& label, QString& text)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
    if (ok)
        text = answer;
    return ok;
}

bool CWorkspaceDialogs::AskYesNo(QWidget* parent, const QString& question)
{
    return QMessageBox::question(parent, QStringLiteral("Kestrune"), question, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void CWorkspaceDialogs::Tell(QWidget* parent, const QString& message)
{
    QMessageBox::information(parent, QStringLiteral("Kestrune"), message);
}
