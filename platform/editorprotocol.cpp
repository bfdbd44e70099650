#include "platform/editorprotocol.h"

#include <QRegularExpression>

namespace EditorProtocol {

namespace {

const QByteArray kSilentMark = "####";

// The value of "Key=" on a line of its own, up to the line end.
QByteArray Field(const QByteArray& message, const char* key)
{
    const QByteArray marker = '\n' + QByteArray(key) + '=';
    const int at = message.indexOf(marker);
    if (at < 0)
        return {};
    const int start = at + marker.size();
    const int end = message.indexOf('\n', start);
    return message.mid(start, end < 0 ? -1 : end - start);
}

// "Path=" is written last: the path is the whole rest, whatever it holds.
QByteArray PathField(const QByteArray& message)
{
    const int at = message.indexOf("\nPath=");
    return at < 0 ? QByteArray() : message.mid(at + 6);
}

int IntField(const QByteArray& message, const char* key)
{
    return Field(message, key).trimmed().toInt();
}

// The first line is the keyword alone.
bool HasKeywordLine(const QByteArray& message, const char* keyword)
{
    const QByteArray word(keyword);
    return message.startsWith(word) && (message.size() == word.size() || message[word.size()] == '\n');
}

QByteArray After(const QByteArray& message, const char* prefix)
{
    return message.mid(int(qstrlen(prefix)));
}

}  // namespace

QByteArray EncodeStatement(const QByteArray& statement, bool echo)
{
    return statement + '\n' + (echo ? QByteArray() : kSilentMark);
}

namespace {
// No statement of the interpreter can start with a colon.
const QByteArray kActivate = ":activate";
}  // namespace

QByteArray EncodeActivate()
{
    return EncodeStatement(kActivate, false);
}

bool IsActivate(const Statement& statement)
{
    return statement.text == kActivate;
}

bool DecodeStatement(const QByteArray& message, Statement& statement)
{
    QByteArray text = message;
    // A sender may include the terminating NUL of its text.
    const int nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    // The mark may come after the line end (as the editor writes it) or
    // before it (as a hand-written text often has it).
    text.replace('\r', QByteArray()).replace('\n', QByteArray());
    statement.echo = !text.endsWith(kSilentMark);
    if (!statement.echo)
        text.chop(kSilentMark.size());
    statement.text = text;
    return !text.trimmed().isEmpty();
}

Message Decode(const QByteArray& message)
{
    Message m;
    if (HasKeywordLine(message, "debug")) {
        m.kind = Kind::Debug;
        m.line = IntField(message, "Line");
        m.path = PathField(message);
    } else if (HasKeywordLine(message, "dbended")) {
        m.kind = Kind::DebugEnded;
        m.path = PathField(message);
    } else if (message.startsWith("varvalue:")) {
        m.kind = Kind::Value;
        m.text = After(message, "varvalue:");
    } else if (message.startsWith("completion:")) {
        m.kind = Kind::Completion;
        QList<QByteArray> lines = message.split('\n');
        // The first line is the keyword, the last the interpreter's prompt.
        for (int i = 1; i + 1 < lines.size(); ++i) {
            const QByteArray name = lines[i].trimmed();
            if (!name.isEmpty())
                m.names.append(name);
        }
    } else if (message.startsWith("parameters:")) {
        m.kind = Kind::Parameters;
        m.text = After(message, "parameters:");
    } else if (message.startsWith("setcurrentpath=")) {
        m.kind = Kind::CurrentPath;
        m.path = After(message, "setcurrentpath=");
    } else if (message == "interpreterstarted") {
        m.kind = Kind::InterpreterStarted;
    } else if (message == "UpdatePreferences") {
        m.kind = Kind::UpdatePreferences;
    } else if (message.trimmed() == "close") {
        m.kind = Kind::Close;
    } else if (HasKeywordLine(message, "errorlocation")) {
        m.kind = Kind::ErrorLocation;
        m.line = IntField(message, "Line");
        m.column = IntField(message, "Column");
        m.path = PathField(message);
    } else if (HasKeywordLine(message, "breakpoint")) {
        m.kind = Kind::Breakpoint;
        m.function = Field(message, "Function");
        m.requested = IntField(message, "Requested");
        m.line = IntField(message, "Line");
    } else if (message.startsWith("error:")) {
        m.kind = Kind::Error;
        m.text = message;
    }
    return m;
}

QByteArray EncodeDebug(const QByteArray& path, int line)
{
    return "debug\nLine=" + QByteArray::number(line) + "\nPath=" + path;
}

QByteArray EncodeDebugEnded(const QByteArray& path)
{
    return "dbended\nPath=" + path;
}

QByteArray EncodeValue(const QByteArray& html)
{
    return "varvalue:" + html;
}

QByteArray EncodeCompletion(const QByteArray& answer)
{
    return "completion:\n" + answer;
}

QByteArray EncodeParameters(const QByteArray& helpText)
{
    return "parameters:" + helpText;
}

QByteArray EncodeCurrentPath(const QByteArray& folder)
{
    return "setcurrentpath=" + folder;
}

QByteArray EncodeInterpreterStarted()
{
    return "interpreterstarted";
}

QByteArray EncodeUpdatePreferences()
{
    return "UpdatePreferences";
}

QByteArray EncodeClose()
{
    return "close";
}

QByteArray EncodeErrorLocation(const QByteArray& path, int line, int column)
{
    return "errorlocation\nLine=" + QByteArray::number(line) + "\nColumn=" +
           QByteArray::number(column) + "\nPath=" + path;
}

QByteArray EncodeError(const QByteArray& errorText)
{
    return errorText.startsWith("error:") ? errorText : "error: " + errorText;
}

int AnsweredLine(const QByteArray& answer)
{
    static const QRegularExpression pattern(QStringLiteral("(?:^|\\n)ans = (\\d+)\\s*(?:\\n|$)"));
    const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(answer));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QByteArray EncodeBreakpointAnswer(const QByteArray& statement, const QByteArray& answer)
{
    static const QRegularExpression single(QStringLiteral("^dbstop\\('((?:[^']|'')*)','(\\d+)'\\);?$"));
    const QRegularExpressionMatch match = single.match(QString::fromUtf8(statement.trimmed()));
    if (!match.hasMatch())
        return {};
    const int requested = match.captured(2).toInt();
    const int used = AnsweredLine(answer);
    if (used == requested || (used == 0 && !answer.contains("ans = [](")))
        return {};
    const QByteArray function = match.captured(1).replace(QStringLiteral("''"), QStringLiteral("'")).toUtf8();
    return "breakpoint\nFunction=" + function + "\nRequested=" + QByteArray::number(requested) +
           "\nLine=" + QByteArray::number(used);
}

bool IsMainProgramCommand(const QByteArray& statement)
{
    static const QByteArray kCommands[] = {"exit", "quit", "clc", "home", "doc"};
    for (const QByteArray& command : kCommands) {
        if (statement == command)
            return true;
    }
    return statement.startsWith("completion_matches") || statement.startsWith("getvalue:");
}

}  // namespace EditorProtocol
