#include "main/files/cfilestatements.h"

#include "platform/octavequote.h"

namespace {

std::string Call(const char* function, const QString& path, const char* tail)
{
    std::string literal;
    if (!OctaveQuote(path.toStdString(), literal))
        return std::string();
    return std::string(function) + "(" + literal + ")" + tail;
}

}  // namespace

QString CFileStatements::Extension(const QString& name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

bool CFileStatements::IsDataFile(const QString& name)
{
    static const QStringList kinds = {QStringLiteral(".mat"),  QStringLiteral(".hdf5"), QStringLiteral(".fhdf5"),
                                      QStringLiteral(".bin"),  QStringLiteral(".fbin"), QStringLiteral(".zip")};
    return kinds.contains(Extension(name));
}

bool CFileStatements::IsLoadable(const QString& name)
{
    return IsDataFile(name) || Extension(name) == QStringLiteral(".txt");
}

std::string CFileStatements::Load(const QString& path)
{
    return Call("load", path, "; ");
}

std::string CFileStatements::Edit(const QString& path)
{
    return Call("edit", path, "; ");
}

std::string CFileStatements::Run(const QString& path)
{
    return OctaveRunFile(path.toStdString());
}

std::string CFileStatements::ChangeFolder(const QString& folder)
{
    std::string literal;
    if (!OctaveQuote(folder.toStdString(), literal))
        return std::string();
    return "cd " + literal + ";###";
}
