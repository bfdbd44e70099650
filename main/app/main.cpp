#include <QApplication>

#include "main/frame/ckestruneapp.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Halvard"));
    QApplication::setApplicationName(QStringLiteral("Kestrune"));
    QApplication::setApplicationVersion(QStringLiteral(KESTRUNE_VERSION));
    CKestruneApp kestrune;
    if (!kestrune.Start())
        return 1;
    return application.exec();
}
