#include "platform/ckestrunesettings.h"

#include <QFile>

#include <gtest/gtest.h>

#include "platform/cprofile.h"

TEST(KestruneSettingsTest, DefaultsThenEveryValueRoundTripsUnderItsKey)
{
    const QString program = QStringLiteral("KestruneSettingsTest");
    const CKestruneSettings defaults = CKestruneSettings::fromSettings(program);
    EXPECT_EQ(defaults, CKestruneSettings::Defaults());
    EXPECT_TRUE(defaults.autoStart && defaults.confirmExit && defaults.closeEditorExit && !defaults.useSeparateEditor);
    EXPECT_EQ(defaults.maxLines, 2000);
    EXPECT_EQ(defaults.maxHist, 100);

    CKestruneSettings changed = defaults;
    changed.octavePath = QStringLiteral("/opt/octave 7/bin");
    changed.autoStart = changed.confirmExit = changed.openEditorStart = changed.closeEditorExit = false;
    changed.useSeparateEditor = changed.beepOnErrors = changed.confirmClearHistory = true;
    changed.autoUpdate = false;
    changed.confirmClearWindow = changed.confirmClearVariables = true;
    changed.maxLines = 50;
    changed.maxDirs = 3;
    changed.maxHist = 7;
    changed.lastActiveIndex = 2;
    changed.workPath = QStringLiteral("/w/it's");
    changed.workingPaths = {QStringLiteral("/a b"), QStringLiteral("/c;d")};
    ASSERT_NE(changed, defaults);
    changed.toSettings(program);
    EXPECT_EQ(CKestruneSettings::fromSettings(program), changed);

    // The names other programs and older versions read.
    const CProfile profile(program);
    EXPECT_EQ(profile.GetInt(QStringLiteral("Octave"), QStringLiteral("UseSeparateEditor"), 0), 1);
    EXPECT_EQ(profile.GetInt(QStringLiteral("General"), QStringLiteral("MaxLines"), 0), 50);
    EXPECT_EQ(profile.GetString(QStringLiteral("Octave"), QStringLiteral("path")), changed.octavePath);
    QFile paths(CKestruneSettings::UserPathsFile(program));
    ASSERT_TRUE(paths.open(QIODevice::ReadOnly));
    EXPECT_TRUE(paths.readAll().contains("WorkingPaths=/a b|;|/c;d"));
}
