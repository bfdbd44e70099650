#include "main/editorlink/ceditortextfilter.h"

#include <QDir>
#include <QFileInfo>

#include "platform/editorprotocol.h"

namespace {
QString Canonical(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QString Unquoted(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(';')))
        text.chop(1);
    if (text.size() >= 2 && ((text.startsWith('\'') && text.endsWith('\'')) ||
                              (text.startsWith('"') && text.endsWith('"'))))
        text = text.mid(1, text.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    return text;
}
}  // namespace

bool CEditorTextFilter::SameFolder(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    return Canonical(a) == Canonical(b);
}

bool CEditorTextFilter::Filter(const QByteArray& text, const QString& workPath, std::string& message)
{
    EditorProtocol::Statement statement;
    if (!EditorProtocol::DecodeStatement(text, statement))
        return false;
    const QByteArray& clean = statement.text;
    if (clean.startsWith("cd ") &&
        SameFolder(Unquoted(QString::fromUtf8(clean.mid(3))), workPath))
        return false;
    message = EditorProtocol::EncodeStatement(clean, statement.echo).toStdString();
    return true;
}
