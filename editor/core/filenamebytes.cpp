#include "editor/core/filenamebytes.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileNameBytes {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the UTF-8 sequence a lead byte announces (1 for a stray byte).
int SequenceLength(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 1;
}

QString SystemError(const QString& name)
{
    return QStringLiteral("%1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

QString Decode(const QByteArray& bytes)
{
    QString name;
    int i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            name += QChar(lead);
            ++i;
            continue;
        }
        const int length = SequenceLength(lead);
        const QByteArray sequence = bytes.mid(i, length);
        const QString decoded = length > 1 ? QString::fromUtf8(sequence) : QString();
        if (sequence.size() == length && !decoded.isEmpty() && decoded.toUtf8() == sequence) {
            name += decoded;
            i += length;
        } else {
            name += QChar(char16_t(kEscapeBase + lead));
            ++i;
        }
    }
    return name;
}

QByteArray Encode(const QString& name)
{
    QByteArray bytes;
    int runStart = 0;
    for (int i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c < kEscapeBase + 0x80 || c > kEscapeBase + 0xFF)
            continue;
        bytes += name.mid(runStart, i - runStart).toUtf8();
        bytes += char(c - kEscapeBase);
        runStart = i + 1;
    }
    return bytes + name.mid(runStart).toUtf8();
}

bool NeedsBytes(const QString& name)
{
    return Encode(name) != name.toUtf8();
}

bool IsFile(const QString& name)
{
    struct stat info {};
    return ::stat(Encode(name).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool ReadFile(const QString& name, QByteArray& bytes, QString* error)
{
    const int fd = ::open(Encode(name).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = SystemError(name);
        return false;
    }
    QFile file;
    bool ok = file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    if (ok) {
        bytes = file.readAll();
        ok = file.error() == QFileDevice::NoError;
    }
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(name, file.errorString());
    if (!file.isOpen())
        ::close(fd);
    return ok;
}

bool WriteFile(const QString& name, const QByteArray& bytes, QString* error)
{
    if (!NeedsBytes(name)) {
        QSaveFile file(name);
        if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
            return true;
        if (error)
            *error = QStringLiteral("%1: %2").arg(name, file.errorString());
        return false;
    }
    // Qt cannot name this file: the same all-or-nothing write by hand.
    const QByteArray target = Encode(name);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        if (error)
            *error = SystemError(name);
        return false;
    }
    struct stat old {};
    if (::stat(target.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    else
        ::fchmod(fd, 0644);  // mkstemp made it private
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    const bool written = done == bytes.size() && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) {
        errno = written ? errno : savedErrno;
        if (error)
            *error = SystemError(name);
        ::unlink(temporary.constData());
        return false;
    }
    return true;
}

}  // namespace FileNameBytes
