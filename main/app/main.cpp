#include <QApplication>

#include "main/app/ckestruneapp.h"

int main(int argc, char* argv[])
{
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
