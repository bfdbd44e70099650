#include "platform/editorwindowfile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <csignal>

#include "platform/cmessagechannel.h"

namespace EditorWindowFile {

QString Path()
{
    return MessageChannel::SocketFolder() + QStringLiteral("/marlinote.window");
}

bool Write(const Info& info)
{
    QSaveFile file(Path());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("window=" + QByteArray::number(info.windowId) + '\n');
    file.write("pid=" + QByteArray::number(info.pid) + '\n');
    file.write("closeRefused=" + QByteArray::number(info.closeRefused) + '\n');
    return file.commit();
}

bool Read(Info* info)
{
    QFile file(Path());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Info read;
    bool pidSeen = false;
    const QList<QByteArray> lines = file.read(4096).split('\n');
    for (const QByteArray& line : lines) {
        const int equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals);
        const QByteArray value = line.mid(equals + 1).trimmed();
        bool ok = false;
        if (key == "window") {
            read.windowId = value.toULongLong(&ok);
        } else if (key == "pid") {
            read.pid = value.toLongLong(&ok);
            pidSeen = ok && read.pid > 0;
        } else if (key == "closeRefused") {
            read.closeRefused = value.toInt(&ok);
        }
    }
    if (!pidSeen)
        return false;
    *info = read;
    return true;
}

void Remove(qint64 pid)
{
    Info info;
    if (Read(&info) && info.pid == pid)
        QFile::remove(Path());
}

bool ReadLive(Info* info)
{
    Info read;
    if (!Read(&read) || !ProcessAlive(read.pid))
        return false;
    *info = read;
    return true;
}

bool ProcessAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    // The state follows the command name, which is in parentheses and may
    // itself hold blanks or parentheses.
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close < 0 || close + 2 >= text.size() || text.at(close + 2) != 'Z';
}

}  // namespace EditorWindowFile
