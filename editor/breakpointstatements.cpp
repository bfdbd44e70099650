#include "editor/breakpointstatements.h"

#include "platform/octavequote.h"

#include <QRegularExpression>

namespace BreakpointStatements {

namespace {

// name('f','3','7'); empty when the function name cannot be quoted.
QByteArray Call(const char* name, const QByteArray& function, const std::vector<int>& lines)
{
    std::string literal;
    if (!OctaveQuote(function.toStdString(), literal))
        return {};
    QByteArray text = QByteArray(name) + '(' + QByteArray::fromStdString(literal);
    for (int line : lines)
        text += ",'" + QByteArray::number(line) + '\'';
    return text + ')';
}

}  // namespace

QByteArray Set(const QByteArray& function, int line)
{
    return Call("dbstop", function, {line});
}

QByteArray Clear(const QByteArray& function, int line, const std::vector<int>& remaining)
{
    QByteArray text = Call("dbclear", function, {line});
    if (text.isEmpty() || remaining.empty())
        return text;
    return text + "; " + Call("dbstop", function, remaining) + ';';
}

QByteArray ClearAll(const QByteArray& function, const std::vector<int>& lines)
{
    if (lines.empty())
        return {};
    return Call("dbclear", function, lines);
}

int AnsweredLine(const QByteArray& answer)
{
    static const QRegularExpression pattern(QStringLiteral("(?:^|\\n)ans = (\\d+)\\s*(?:\\n|$)"));
    const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(answer));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

}  // namespace BreakpointStatements
