#include "editor/core/cmarlinotedoc.h"

#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"

#include <QFileInfo>

CMarlinoteDoc::CMarlinoteDoc(CMarlinoteView* view)
    : QObject(view), m_view(view), m_title(QStringLiteral("Untitled"))
{
    connect(Editor(), &QsciScintilla::modificationChanged, this,
            &CMarlinoteDoc::OnModificationChanged);
}

CScintillaWnd* CMarlinoteDoc::Editor() const
{
    return m_view->GetEditor();
}

QString CMarlinoteDoc::GetTitle() const
{
    return IsModified() ? m_title + QLatin1Char('*') : m_title;
}

void CMarlinoteDoc::SetTitle(const QString& title)
{
    QString plain = title;
    while (plain.endsWith(QLatin1Char('*')))
        plain.chop(1);
    if (plain == m_title)
        return;
    m_title = plain;
    emit titleChanged(GetTitle());
}

QByteArray CMarlinoteDoc::GetFunctionName() const
{
    const int dot = m_title.indexOf(QLatin1Char('.'));
    return (dot < 0 ? m_title : m_title.left(dot)).toUtf8();
}

bool CMarlinoteDoc::IsModified() const
{
    return m_forcedModified || Editor()->SendScintilla(QsciScintillaBase::SCI_GETMODIFY) != 0;
}

void CMarlinoteDoc::SetModified(bool modified)
{
    const bool was = IsModified();
    m_forcedModified = modified;
    if (!modified)
        Editor()->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    if (IsModified() != was) {
        emit modifiedChanged(IsModified());
        emit titleChanged(GetTitle());
    }
}

void CMarlinoteDoc::OnModificationChanged(bool)
{
    const bool modified = IsModified();
    if (modified == m_lastReported)
        return;
    m_lastReported = modified;
    emit modifiedChanged(modified);
    emit titleChanged(GetTitle());
}

void CMarlinoteDoc::SetPathAndTitle(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const bool pathChange = absolute != m_path;
    m_path = absolute;
    m_title = QFileInfo(path).fileName();
    if (pathChange)
        emit pathChanged(m_path);
    emit titleChanged(GetTitle());
}

bool CMarlinoteDoc::LoadFromFile(const QString& path, QString* error)
{
    // A failed read changes nothing: text, path and modified state stay.
    if (!Editor()->LoadFromFile(path, error))
        return false;
    m_forcedModified = false;
    SetPathAndTitle(path);
    OnModificationChanged(false);
    emit fileLoaded();
    return true;
}

bool CMarlinoteDoc::SaveToFile(const QString& path, QString* error)
{
    emit aboutToSave();
    if (!Editor()->SaveToFile(path, error)) {
        emit saveFinished(false);
        return false;
    }
    m_forcedModified = false;
    SetPathAndTitle(path);
    OnModificationChanged(false);
    emit saveFinished(true);
    return true;
}

bool CMarlinoteDoc::Save(QString* error)
{
    if (m_path.isEmpty()) {
        if (error)
            *error = QStringLiteral("%1 has not been saved yet; choose a file name.").arg(m_title);
        return false;
    }
    return SaveToFile(m_path, error);
}

bool CMarlinoteDoc::SaveAs(const QString& path, QString* error)
{
    return SaveToFile(path, error);
}
