#include "editor/app/cuserfiles.h"
#include "editor/core/filenamebytes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(UserFilesTest, RoundTripKeepsListsInOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("userfiles.dat"));
    CUserFiles out(path);
    out.openFiles = {QStringLiteral("/tmp/with blank/a.m"), QStringLiteral("/tmp/b,c.m")};
    out.positions = {12, 0};
    out.fileVisible = QStringLiteral("/tmp/b,c.m");
    out.keyWords = {QStringLiteral("plot"), QStringLiteral("sin")};
    ASSERT_TRUE(out.Write());

    CUserFiles in(path);
    in.Read();
    EXPECT_EQ(in.openFiles, out.openFiles);
    EXPECT_EQ(in.positions, out.positions);
    EXPECT_EQ(in.fileVisible, out.fileVisible);
    EXPECT_EQ(in.keyWords, out.keyWords);
    EXPECT_EQ(in.PositionOf(QStringLiteral("/tmp/with blank/a.m")), 12);
    EXPECT_EQ(in.PositionOf(QStringLiteral("/tmp/none.m")), -1);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[User]"));
    EXPECT_TRUE(text.contains("OpenFiles=/tmp/with blank/a.m|;|/tmp/b,c.m"));
    EXPECT_TRUE(text.contains("FilesPositions=12,0"));
    EXPECT_TRUE(text.contains("[System]"));
    EXPECT_TRUE(text.contains("KeyWords=plot,sin"));
}

TEST(UserFilesTest, NamesKeepTheirBytesAndUnstorableEntriesAreSkipped)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("userfiles.dat"));
    const QString latin1 = FileNameBytes::Decode("/tmp/caf\xe9.m");
    CUserFiles out(path);
    out.openFiles = {QStringLiteral("/tmp/two\nlines.m"), latin1};
    out.positions = {5, 7};
    QStringList skipped;
    ASSERT_TRUE(out.Write(&skipped));
    EXPECT_EQ(skipped, QStringList{QStringLiteral("/tmp/two\nlines.m")});

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("OpenFiles=/tmp/caf\xe9.m\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("FilesPositions=7\n")) << text.toStdString();
    CUserFiles in(path);
    in.Read();
    EXPECT_EQ(in.openFiles, QStringList{latin1});
    EXPECT_EQ(in.PositionOf(latin1), 7);
}

TEST(UserFilesTest, MissingFileGivesEmptyLists)
{
    QTemporaryDir dir;
    CUserFiles in(dir.filePath(QStringLiteral("none.dat")));
    in.Read();
    EXPECT_TRUE(in.openFiles.isEmpty());
    EXPECT_TRUE(in.positions.empty());
    EXPECT_TRUE(in.keyWords.isEmpty());
}

}  // namespace
