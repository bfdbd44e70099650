#include "diff/app/cdiffapp.h"

#include "diff/app/cdiffdlg.h"
#include "diff/ccomparisonrun.h"
#include "diff/cdiffcommandline.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

#include <cstdlib>
#include <iostream>
#include <memory>

#include <unistd.h>

namespace {

int* g_argc = nullptr;
char** g_argv = nullptr;

// The batch path needs no QApplication until it has something to show.
QApplication* EnsureApplication()
{
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return existing;
    static std::unique_ptr<QApplication> application;
    static int fallbackArgc = 1;
    static char name[] = "kestrune-diff";
    static char* fallbackArgv[] = {name, nullptr};
    if (g_argc)
        application = std::make_unique<QApplication>(*g_argc, g_argv);
    else
        application = std::make_unique<QApplication>(fallbackArgc, fallbackArgv);
    return application.get();
}

QString Text(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

} // namespace

bool CDiffApp::DisplayAvailable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM").toLower();
    if (platform.startsWith("offscreen") || platform.startsWith("minimal") || platform.startsWith("vnc"))
        return false;
    if (platform.startsWith("eglfs") || platform.startsWith("linuxfb"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void CDiffApp::Tell(const std::string& message, bool fromDialog)
{
    std::cerr << message << std::endl;
    if (!DisplayAvailable())
        return;
    if (!fromDialog && ::isatty(STDERR_FILENO))
        return;
    EnsureApplication();
    QMessageBox::warning(nullptr, QStringLiteral("kestrune-diff"), Text(message));
}

int CDiffApp::Run(int& argc, char** argv)
{
    g_argc = &argc;
    g_argv = argv;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    const CDiffCommandLine line(args);

    COptionList options;
    if (!line.caseFlag)
        options.SetOption("case", "no");
    if (!line.indentFlag)
        options.SetOption("indent", "no");

    if (line.RunsAtOnce()) {
        const auto result = CComparisonRun::Run(line.first, line.second, line.output, options,
                                                [](const std::string& m) { Tell(m, false); });
        return result == CComparisonRun::Written ? ReportWritten : Failed;
    }

    if (!DisplayAvailable()) {
        std::cerr << CDiffCommandLine::Usage();
        return NothingCompared;
    }
    EnsureApplication();
    CDiffDlg dialog(Text(line.first), Text(line.output));
    dialog.SetNotify([](const std::string& m) { Tell(m, true); });
    dialog.exec();
    const auto outcome = dialog.Outcome();
    if (!outcome)
        return NothingCompared;
    return *outcome == CComparisonRun::Written ? ReportWritten : Failed;
}
