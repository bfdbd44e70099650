#include "editor/app/cmainframe.h"
#include "editor/link/cmainprogramlink.h"
#include "editor/app/cmarlinoteapp.h"
#include "editor/app/ctermsignalhandler.h"
#include "editor/core/filenamebytes.h"

#include <QApplication>

#include <unistd.h>

int main(int argc, char** argv)
{
    // The interpreter's edit command starts the editor as its own child, in
    // its process group: an interrupt (Ctrl+C, Abort) or a kill of that group
    // would end the editor with unsaved work. A session of its own keeps it
    // out; a group leader is already outside any other group.
    if (::getpgrp() != ::getpid())
        ::setsid();

    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlinote"));
    QApplication::setOrganizationName(QStringLiteral("Halvard"));

    CMarlinoteApp app;
    CMainProgramLink link(app);
    app.SetInterpreterLink(&link);
    // False: the files went to the editor that is already running.
    // The file names as the system gave them: QApplication has taken its own
    // options out of argv, and its decoded arguments() would lose bytes that
    // are not UTF-8.
    QStringList files;
    for (int i = 1; i < argc; ++i)
        files.append(FileNameBytes::Decode(QByteArray(argv[i])));
    if (!app.InitInstance(files))
        return 0;

    CTermSignalHandler termination;
    QObject::connect(&termination, &CTermSignalHandler::terminateRequested, &app, [&app] {
        if (app.MainFrame())
            app.MainFrame()->close();
    });

    const int result = qtApp.exec();
    // The channel is given up when the frame closes; finish that now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app.ExitInstance();
    return result;
}
