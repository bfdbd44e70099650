#include "main/docs/manualnames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace ManualNames {

QString FindManualFolder(const QString& interpreterFolder)
{
    QStringList candidates;
    if (!interpreterFolder.isEmpty()) {
        const QString parent = QFileInfo(QDir::cleanPath(interpreterFolder)).path();
        candidates << parent + QStringLiteral("/doc/octave/html/interpreter")
                   << parent + QStringLiteral("/share/doc/octave/octave.html");
    }
    candidates << QStringLiteral("/usr/share/doc/octave/octave.html");
    for (const QString& folder : candidates) {
        if (QFileInfo::exists(folder + QStringLiteral("/index.html")))
            return QDir::cleanPath(folder);
    }
    return QString();
}

QString EncodeName(const QString& name)
{
    QString out;
    for (const QChar c : name) {
        const ushort u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
            out += c;
        else
            out += QStringLiteral("_%1").arg(u, 4, 16, QLatin1Char('0'));
    }
    return out;
}

bool IsFunctionEntry(const QString& fileName)
{
    return fileName.startsWith(QLatin1String("XREF")) || fileName.startsWith(QLatin1String("doc_00"));
}

bool IsFigure(const QString& fileName)
{
    return fileName.startsWith(QLatin1String("fig_00"));
}

QString Title(const QString& fileName)
{
    QString title = fileName;
    if (title.endsWith(QLatin1String(".html")))
        title.chop(5);
    for (const char* prefix : {"XREF", "doc_002d", "fig_003a"}) {
        if (title.startsWith(QLatin1String(prefix))) {
            title.remove(0, int(qstrlen(prefix)));
            break;
        }
    }
    title.remove(QStringLiteral("_003ccode_003e"));
    title.remove(QStringLiteral("_003c_002fcode_003e"));
    // Node names write blanks as "-"; an escaped hyphen reads as a blank too.
    title.replace(QLatin1Char('-'), QLatin1Char(' '));
    title.replace(QStringLiteral("_002d"), QStringLiteral(" "));
    static const QRegularExpression escape(QStringLiteral("_([0-9a-f]{4})"));
    QString decoded;
    int last = 0;
    for (auto it = escape.globalMatch(title); it.hasNext();) {
        const auto m = it.next();
        decoded += QStringView(title).mid(last, m.capturedStart() - last);
        decoded += QChar(char16_t(m.captured(1).toUShort(nullptr, 16)));
        last = m.capturedEnd();
    }
    decoded += QStringView(title).mid(last);
    return decoded.trimmed();
}

QString StubPath(const QString& folder, const QString& name)
{
    const QString encoded = EncodeName(name);
    for (const char* prefix : {"XREF", "doc_002d"}) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(prefix) + encoded + QStringLiteral(".html");
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QUrl StubTarget(const QString& stubPath)
{
    QFile file(stubPath);
    if (!file.open(QIODevice::ReadOnly))
        return QUrl();
    // A stub is a few kilobytes; the line sits near the top.
    const QByteArray head = file.read(64 * 1024);
    const int at = head.indexOf("url=");
    if (at < 0)
        return QUrl();
    int end = at + 4;
    while (end < head.size() && !QByteArrayView("\"'> \r\n").contains(head[end]))
        ++end;
    const QString target = QString::fromUtf8(head.mid(at + 4, end - at - 4)).trimmed();
    if (target.isEmpty())
        return QUrl();
    const QUrl base = QUrl::fromLocalFile(QFileInfo(stubPath).absoluteFilePath());
    const QUrl resolved = base.resolved(QUrl(target));
    if (!resolved.isLocalFile())
        return QUrl();
    const QString folder = QFileInfo(stubPath).absolutePath();
    if (QFileInfo(resolved.toLocalFile()).absolutePath() != folder)
        return QUrl();
    return resolved;
}

namespace {

// One word or phrase as a pattern: wildcards expanded, the rest literal.
QString Literal(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('*'))
            out += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            out += QLatin1Char('.');
        else
            out += QRegularExpression::escape(QString(c));
    }
    return out;
}

}  // namespace

QString SearchPattern(const QString& text)
{
    QStringList alternatives;
    const QStringList parts = text.toLower().split(QLatin1Char('"'));
    for (int i = 0; i < parts.size(); ++i) {
        if (i % 2 == 1) {
            const QString phrase = parts[i].simplified();
            if (!phrase.isEmpty())
                alternatives << QLatin1Char('(') + Literal(phrase) + QLatin1Char(')');
            continue;
        }
        for (const QString& word : parts[i].simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (word != QLatin1String("and") && word != QLatin1String("or"))
                alternatives << Literal(word);
        }
    }
    // "and" or "or" alone is a word to look for.
    if (alternatives.isEmpty() && !text.trimmed().isEmpty() && !text.contains(QLatin1Char('"')))
        alternatives << Literal(text.simplified().toLower());
    return alternatives.join(QLatin1Char('|'));
}

}  // namespace ManualNames
