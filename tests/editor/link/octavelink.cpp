#include "octavelink.h"

#include <QElapsedTimer>
#include <QRegularExpression>

namespace {
const QByteArray kPrompt = "@KPROMPT> ";
// An unfinished statement (a continued line) waits at this prompt.
const QByteArray kMore = "@KMORE> ";
}

OctaveLink::OctaveLink()
{
    m_octave.setProcessChannelMode(QProcess::MergedChannels);
    m_octave.start(QStringLiteral("octave"), {QStringLiteral("--no-gui"), QStringLiteral("--norc"),
                                              QStringLiteral("--quiet"), QStringLiteral("--no-history"),
                                              QStringLiteral("--interactive")});
    if (!m_octave.waitForStarted(20000))
        return;
    m_octave.write("PS2('" + kMore + "'); PS1('" + kPrompt + "')\n");
    for (int i = 0; i < 2 && !m_started; ++i)
        m_started = ReadToPrompt().endsWith(kPrompt);
}

OctaveLink::~OctaveLink()
{
    if (m_octave.state() == QProcess::NotRunning)
        return;
    m_octave.closeWriteChannel();
    if (!m_octave.waitForFinished(5000)) {
        m_octave.kill();
        m_octave.waitForFinished(5000);
    }
}

QByteArray OctaveLink::ReadToPrompt()
{
    static const QRegularExpression debugPrompt(QStringLiteral("(^|\\n)(\\[\\d+\\])?debug> $"));
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 30000) {
        if (!m_octave.waitForReadyRead(200) && m_octave.state() == QProcess::NotRunning)
            break;
        output += m_octave.readAll();
        if (output.endsWith(kPrompt) || output.endsWith(kMore)) {
            m_debug = false;
            break;
        }
        if (debugPrompt.match(QString::fromUtf8(output)).hasMatch()) {
            m_debug = true;
            break;
        }
    }
    return output;
}

QByteArray OctaveLink::Run(const QByteArray& line)
{
    m_octave.write(line + '\n');
    return ReadToPrompt();
}

QByteArray OctaveLink::Breakpoints()
{
    QByteArray text = Run("__s = dbstatus; for __k = 1:numel(__s), printf('%s:%d ', __s(__k).name, "
                          "__s(__k).line); end; printf('\\n'); clear __s __k");
    text.chop(kPrompt.size());
    return text.trimmed();
}

bool OctaveLink::SendToMainProgram(const QByteArray& text, bool, bool, bool)
{
    sent << text;
    answers << Run(text);
    return true;
}
