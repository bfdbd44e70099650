#include "main/session/cconnectionprocesses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <map>
#include <unistd.h>

namespace {
// The parent of pid from /proc/<pid>/stat (field 4, after the command name in
// parentheses, which may itself hold blanks and parentheses).
pid_t ParentOf(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    if (fields.size() < 2)
        return -1;
    return static_cast<pid_t>(fields.at(1).toLong());
}

// A zombie has already ended; it only waits for its parent to reap it.
bool IsZombie(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;  // gone altogether
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close >= 0 && text.size() > close + 2 && text.at(close + 2) == 'Z';
}

QString Lower(const std::string& text)
{
    return QString::fromStdString(text).toLower();
}
}  // namespace

std::vector<pid_t> CConnectionProcesses::Descendants(pid_t root)
{
    std::multimap<pid_t, pid_t> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const pid_t pid = static_cast<pid_t>(entry.toLong(&ok));
        if (!ok)
            continue;
        const pid_t parent = ParentOf(pid);
        if (parent > 0)
            children.emplace(parent, pid);
    }
    std::vector<pid_t> result;
    std::vector<pid_t> todo{root};
    while (!todo.empty()) {
        const pid_t current = todo.back();
        todo.pop_back();
        auto range = children.equal_range(current);
        for (auto it = range.first; it != range.second; ++it) {
            result.push_back(it->second);
            todo.push_back(it->second);
        }
    }
    return result;
}

std::string CConnectionProcesses::ProgramName(pid_t pid)
{
    const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    if (!exe.isEmpty()) {
        QString name = QFileInfo(exe).fileName();
        name.remove(QStringLiteral(" (deleted)"));
        return name.toStdString();
    }
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (comm.open(QIODevice::ReadOnly))
        return comm.readAll().trimmed().toStdString();
    return std::string();
}

int CConnectionProcesses::TerminateProcessesByName(const std::string& name)
{
    if (!QFileInfo::exists(QStringLiteral("/proc/self/stat")))
        return kNoProcessList;
    const QString wanted = Lower(name);
    for (pid_t pid : Descendants(getpid())) {
        // The interpreter's binary may be a versioned file behind a wrapper
        // script ("octave-cli-7.3.0"); the command name covers that case.
        const QString program = Lower(ProgramName(pid));
        QString command;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly))
            command = QString::fromLocal8Bit(comm.readAll().trimmed()).toLower();
        // "octave" starts its real binary ("octave-cli") in the same process.
        const QString family = wanted + QLatin1Char('-');
        if (program != wanted && command != wanted && !program.startsWith(family) &&
            !command.startsWith(family))
            continue;
        if (IsZombie(pid))
            continue;
        if (::kill(pid, SIGKILL) == 0) {
            // Wait briefly until it is gone, so the caller's loop ends.
            for (int i = 0; i < 50 && ::kill(pid, 0) == 0 && !IsZombie(pid); ++i)
                ::usleep(2000);
            return 0;
        }
    }
    return kNotFound;
}

int CConnectionProcesses::TerminateAllByName(const std::string& name)
{
    int ended = 0;
    // Bounded: a process that refuses to die must not hang the caller.
    while (ended < 64 && TerminateProcessesByName(name) == 0)
        ++ended;
    return ended;
}
