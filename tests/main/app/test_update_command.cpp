// The updater started by the program: once at start-up when a day has passed,
// and from Help -> Check for Updates, clicked as the user does.
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include "main/app/ckestruneapp.h"
#include "main/frame/ccommandids.h"
#include "main/options/cupdatechecker.h"
#include "platform/cprofile.h"
#include "tests/support/cfakeupdater.h"

namespace {

TEST(UpdateCommand, StartUpAndTheHelpMenuStartTheUpdaterBesideTheProgramFolder)
{
    CFakeUpdater updater;
    ASSERT_TRUE(updater.IsValid());
    CProfile profile(QStringLiteral("Kestrune"));
    profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 0);
    profile.WriteInt(QStringLiteral("General"), QStringLiteral("AutoUpdate"), 1);
    profile.WriteInt(QStringLiteral("General"), QStringLiteral("LastUpdateYear"), 1980);

    CKestruneApp app;
    CKestruneApp::Options options;
    options.splash = false;
    options.listen = false;
    options.programFolder = updater.ProgramFolder();
    ASSERT_TRUE(app.Start(options));
    ASSERT_EQ(updater.WaitForCalls(1).size(), 1);

    QMenuBar* bar = app.Frame()->menuBar();
    QAction* help = nullptr;
    for (QAction* action : bar->actions())
        help = action->text() == QStringLiteral("&Help") ? action : help;
    ASSERT_NE(help, nullptr);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(help).center());
    QMenu* menu = help->menu();
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 3000));
    QAction* check = app.Frame()->Action(CommandId::CheckForUpdates);
    ASSERT_TRUE(menu->actions().contains(check));
    EXPECT_EQ(check->text(), QStringLiteral("Check for &Updates"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(check).center());

    const QString folder = updater.UpdaterFolder();
    const QString version = CUpdateChecker::VersionText(CKestruneApp::Version());
    EXPECT_EQ(updater.WaitForCalls(2), (QStringList{folder + QLatin1Char(' ') + version,
                                                    folder + QStringLiteral(" -verbose -v ") + version}));
}

}  // namespace
