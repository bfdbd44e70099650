#pragma once

#include <QByteArray>
#include <QString>

// File names are bytes on this platform and need not be valid UTF-8; Qt
// turns such bytes into U+FFFD and then names another file. These keep the
// bytes: each byte of an invalid sequence is carried as the lone surrogate
// U+DC80..U+DCFF (as Python's "surrogateescape"), and turned back into that
// byte when the name goes to the system or into a file or message.
namespace FileNameBytes {

QString Decode(const QByteArray& bytes);
QByteArray Encode(const QString& name);

// True when the name holds bytes that Qt's own file calls cannot reach.
bool NeedsBytes(const QString& name);

// A regular file exists at the name (bytes kept).
bool IsFile(const QString& name);

// Reads the whole file; false with *error set when it cannot be read.
bool ReadFile(const QString& name, QByteArray& bytes, QString* error);

// Writes the whole file beside it and renames it over the old one, so a
// failed write leaves the old file as it was; false with *error set.
bool WriteFile(const QString& name, const QByteArray& bytes, QString* error);

}  // namespace FileNameBytes
