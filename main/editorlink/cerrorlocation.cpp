#include "main/editorlink/cerrorlocation.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "platform/editorprotocol.h"

QByteArray CErrorLocation::Message(const QString& link)
{
    static const QRegularExpression pathFirst(QStringLiteral(
        "^\\s*(?:-->\\s*)?(.+?)\\s+(?:at\\s+)?line\\s+(\\d+)(?:,?\\s*column\\s+(\\d+))?\\s*$"));
    static const QRegularExpression pathLast(QStringLiteral(
        "line\\s+(\\d+)(?:,?\\s*column\\s+(\\d+))?\\s+of\\s+file\\s+(.+?)\\s*$"));
    QString path;
    int line = 0;
    int column = 0;
    QRegularExpressionMatch match = pathLast.match(link);
    if (match.hasMatch()) {
        path = match.captured(3);
        line = match.captured(1).toInt();
        column = match.captured(2).toInt();
    } else if ((match = pathFirst.match(link)).hasMatch()) {
        path = match.captured(1);
        line = match.captured(2).toInt();
        column = match.captured(3).toInt();
    }
    if (path.isEmpty() || line < 1 || !QFileInfo(path).isFile())
        return {};
    return EditorProtocol::EncodeErrorLocation(QFileInfo(path).absoluteFilePath().toUtf8(), line, column);
}
