#include "tests/support/cprivatehome.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {
struct Folder {
    const char* variable;
    const char* sub;
};
constexpr Folder kFolders[] = {{"HOME", "/home"},
                               {"XDG_CONFIG_HOME", "/config"},
                               {"XDG_DATA_HOME", "/data"},
                               {"XDG_RUNTIME_DIR", "/runtime"},
                               {"TMPDIR", "/tmp"}};
}  // namespace

QProcessEnvironment CPrivateHome::Environment(const QString& root)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const Folder& folder : kFolders) {
        const QString path = root + QString::fromLatin1(folder.sub);
        QDir().mkpath(path);
        environment.insert(QString::fromLatin1(folder.variable), path);
    }
    QFile::setPermissions(root + QStringLiteral("/runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return environment;
}

QString CPrivateHome::Use(const QString& prefix)
{
    static QTemporaryDir home(QDir::tempPath() + QLatin1Char('/') + prefix + QStringLiteral("-XXXXXX"));
    const QProcessEnvironment environment = Environment(home.path());
    for (const Folder& folder : kFolders) {
        const QString name = QString::fromLatin1(folder.variable);
        setenv(folder.variable, environment.value(name).toLocal8Bit().constData(), 1);
    }
    return home.path();
}
