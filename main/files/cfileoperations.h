#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// File operations of the current-directory pane. None of them replaces an
// existing file without being asked, and a move deletes its source only
// after a successful copy to a different path.
class CFileOperations {
public:
    // Removes a file, a symbolic link (never what it points to) or a folder
    // with everything below it; links inside are removed, not followed.
    static bool Remove(const QString& path);
    // Renames within the folder; false when the new name exists or is not a
    // plain name.
    static bool Rename(const QString& folder, const QString& from, const QString& to);
    // Copies name to suffix + " " + name in the same folder; false (nothing
    // written) when that file exists. Returns the new name in copyName.
    static bool Duplicate(const QString& folder, const QString& name, const QString& suffix,
                          QString* copyName = nullptr);
    static bool CreateFolder(const QString& folder, const QString& name);

    // Asked when the target exists: the existing file's and the incoming
    // file's modification times; true replaces.
    using ConfirmReplace = std::function<bool(const QString& name, const QDateTime& existing,
                                              const QDateTime& incoming)>;
    enum class Result { Done, Refused, Failed, Same };
    // Copies (or moves) source into targetFolder under its own name.
    static Result Transfer(const QString& source, const QString& targetFolder, bool move,
                           const ConfirmReplace& confirm);

    // The text of the "Confirm File Replace" box.
    static QString ReplaceQuestion(const QString& name, const QDateTime& existing, const QDateTime& incoming);

private:
    static bool CopyTree(const QString& source, const QString& target);
    static bool IsPlainName(const QString& name);
};
