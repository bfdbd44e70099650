#include "editor/core/breakpointstatements.h"

#include "platform/octavequote.h"


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

QByteArray SetAll(const QByteArray& function, const std::vector<int>& lines)
{
    if (lines.empty())
        return {};
    return Call("dbstop", function, lines);
}

QByteArray ClearAll(const QByteArray& function, const std::vector<int>& lines)
{
    if (lines.empty())
        return {};
    return Call("dbclear", function, lines);
}

}  // namespace BreakpointStatements
