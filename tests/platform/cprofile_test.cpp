#include "platform/cprofile.h"

#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

TEST(CProfileTest, ReadsDefaultsAndWritesSections)
{
    CProfile profile(QStringLiteral("KestruneProfileTest"));
    EXPECT_EQ(profile.GetInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 1), 1);
    EXPECT_EQ(profile.GetString(QStringLiteral("Octave"), QStringLiteral("path"), QStringLiteral("/usr/bin")),
              QStringLiteral("/usr/bin"));

    ASSERT_TRUE(profile.WriteInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 0));
    ASSERT_TRUE(profile.WriteString(QStringLiteral("Octave"), QStringLiteral("path"), QStringLiteral("/opt/a b")));
    ASSERT_TRUE(profile.WriteString(QStringLiteral("General"), QStringLiteral("Name"), QStringLiteral("x")));

    CProfile again(QStringLiteral("KestruneProfileTest"));
    EXPECT_EQ(again.GetInt(QStringLiteral("Octave"), QStringLiteral("AutoStart"), 1), 0);
    EXPECT_EQ(again.GetString(QStringLiteral("Octave"), QStringLiteral("path")), QStringLiteral("/opt/a b"));
    // A text where a number is expected reads as the default.
    EXPECT_EQ(again.GetInt(QStringLiteral("General"), QStringLiteral("Name"), 7), 7);

    // The settings file sits under the organisation, in the private test home.
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                         + QStringLiteral("/Halvard/KestruneProfileTest.conf");
    QFile conf(file);
    ASSERT_TRUE(conf.open(QIODevice::ReadOnly)) << file.toStdString();
    const QByteArray content = conf.readAll();
    EXPECT_TRUE(content.contains("[Octave]"));
    EXPECT_TRUE(content.contains("AutoStart=0"));
    EXPECT_TRUE(file.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
}
