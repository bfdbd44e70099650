#include <QApplication>

#include "controls/webenginesandbox.h"
#include "main/app/ckestruneapp.h"

int main(int argc, char* argv[])
{
    // The panes that show pages use the web engine: it needs both before
    // the application exists.
    DisableWebSandboxForRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvard"));
    QApplication::setApplicationName(QStringLiteral("Kestrune"));
    QApplication::setApplicationVersion(QStringLiteral(KESTRUNE_VERSION));
    CKestruneApp kestrune;
    CKestruneApp::Options options;
    options.startEditor = true;
    if (!kestrune.Start(options))
        return 1;
    return application.exec();
}
