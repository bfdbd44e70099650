#include "editor/app/cfileassociation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(FileAssociationTest, WritesAQuotedEntryAndTheDefaultsKeepingOtherEntries)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString config = dir.filePath("config");
    ASSERT_TRUE(QDir().mkpath(config));
    QFile list(config + "/mimeapps.list");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("[Default Applications]\ntext/plain=gedit.desktop;\ntext/x-octave=old.desktop;\n"
               "[Added Associations]\nimage/png=eog.desktop;\n");
    list.close();

    CFileAssociation association(dir.filePath("apps"), config);
    association.SetProgram("/opt/my tools/100%/mar\"lin$ote");
    ASSERT_TRUE(association.Write());

    const QString entry = Read(dir.filePath("apps/marlinote.desktop"));
    EXPECT_TRUE(entry.contains("\nExec=\"/opt/my tools/100%%/mar\\\\\"lin\\\\$ote\" %f\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("\nMimeType=text/x-octave;text/x-matlab;\n"));
    EXPECT_EQ(Read(config + "/mimeapps.list"),
              "[Default Applications]\ntext/plain=gedit.desktop;\ntext/x-octave=marlinote.desktop;\n"
              "text/x-matlab=marlinote.desktop;\n[Added Associations]\nimage/png=eog.desktop;\n");

    // Written again at the next start: the same file, nothing doubled.
    ASSERT_TRUE(association.Write());
    EXPECT_EQ(Read(config + "/mimeapps.list").count("marlinote.desktop"), 2);
}

}  // namespace
