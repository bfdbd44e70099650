// A receiving program for the message channel tests: listens under the name
// given, appends every text to a file as "<length>\n<bytes>\n", and says
// "ready" on standard output once it listens. Options:
//   --slow <ms>   sleep that long in the handler before returning
// Called as "kestrune-test-receiver --temp-folder" it prints its private
// temporary folder instead and ends normally.
#include "platform/appfolders.h"
#include "platform/cmessagechannel.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && args[1] == QStringLiteral("--temp-folder")) {
        std::printf("%s\n", qPrintable(AppFolders::PrivateTempFolder()));
        return 0;
    }
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: kestrune-test-receiver <name> <outfile> [--slow ms]\n");
        return 2;
    }
    int slowMs = 0;
    const int slowAt = args.indexOf(QStringLiteral("--slow"));
    if (slowAt > 0 && slowAt + 1 < args.size())
        slowMs = args[slowAt + 1].toInt();

    CMessageServer server(args[1]);
    const QString outPath = args[2];
    QObject::connect(&server, &CMessageServer::textReceived, [&](const QByteArray& text) {
        if (slowMs > 0)
            QThread::msleep(static_cast<unsigned long>(slowMs));
        QFile out(outPath);
        if (!out.open(QIODevice::Append))
            return;
        out.write(QByteArray::number(text.size()) + '\n' + text + '\n');
        if (text == "quit")
            QCoreApplication::quit();
    });
    QString error;
    if (!server.Listen(&error)) {
        std::printf("refused: %s\n", qPrintable(error));
        std::fflush(stdout);
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
