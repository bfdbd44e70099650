// Listing, file operations, archives and the finder on real folders.
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <sys/stat.h>

#include "main/files/cfilefinder.h"
#include "main/files/cfilelisting.h"
#include "main/files/cfileoperations.h"
#include "main/files/cfilessettings.h"
#include "main/files/czipfile.h"
#include "tests/main/files/filestestsupport.h"

using namespace filestest;

TEST(FileListing, SizeTextsAndOrder)
{
    EXPECT_EQ(CFileListing::SizeText(0), QStringLiteral("1 KB"));
    EXPECT_EQ(CFileListing::SizeText(1024), QStringLiteral("2 KB"));
    EXPECT_EQ(CFileListing::SizeText(1048575), QStringLiteral("1024 KB"));
    EXPECT_EQ(CFileListing::SizeText(1048576), QStringLiteral("1 MB"));
    EXPECT_EQ(CFileListing::SizeText(1073741824LL * 3), QStringLiteral("3 GB"));

    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    for (const char* name : {"b.m", "a.mat", "notes.txt", "README"})
        WriteFile(dir.filePath(QString::fromLatin1(name)), "x");
    auto names = [](const std::vector<CFileEntry>& entries) {
        QStringList list;
        for (const CFileEntry& e : entries)
            list << e.name + (e.IsFolder() ? QStringLiteral("/") : QString());
        return list;
    };
    EXPECT_EQ(names(CFileListing::List(dir.path(), QStringLiteral("*.m;*.mat"))),
              QStringList({"../", "sub/", "a.mat", "b.m"}));
    EXPECT_EQ(names(CFileListing::List(dir.path(), QStringLiteral("*.*"))),
              QStringList({"../", "sub/", "a.mat", "b.m", "notes.txt", "README"}));
}

TEST(FileOperations, NeverLoseOrReplaceWithoutAsking)
{
    QTemporaryDir dir;
    QTemporaryDir outside;
    const QDir d(dir.path());
    WriteFile(outside.filePath(QStringLiteral("keep.txt")), "precious");
    d.mkpath(QStringLiteral("tree/inner"));
    WriteFile(d.filePath(QStringLiteral("tree/inner/f.txt")), "f");
    QFile::link(outside.path(), d.filePath(QStringLiteral("tree/link")));
    EXPECT_TRUE(CFileOperations::Remove(d.filePath(QStringLiteral("tree"))));
    EXPECT_FALSE(QFileInfo::exists(d.filePath(QStringLiteral("tree"))));
    EXPECT_EQ(ReadFile(outside.filePath(QStringLiteral("keep.txt"))), "precious");

    WriteFile(d.filePath(QStringLiteral("a.m")), "a");
    WriteFile(d.filePath(QStringLiteral("b.m")), "b");
    EXPECT_FALSE(CFileOperations::Rename(dir.path(), QStringLiteral("a.m"), QStringLiteral("b.m")));
    EXPECT_FALSE(CFileOperations::Rename(dir.path(), QStringLiteral("a.m"), QStringLiteral("../a.m")));
    EXPECT_EQ(ReadFile(d.filePath(QStringLiteral("b.m"))), "b");
    EXPECT_TRUE(CFileOperations::Duplicate(dir.path(), QStringLiteral("a.m"), QStringLiteral("Copy")));
    WriteFile(d.filePath(QStringLiteral("Copy a.m")), "edited");
    EXPECT_FALSE(CFileOperations::Duplicate(dir.path(), QStringLiteral("a.m"), QStringLiteral("Copy")));
    EXPECT_EQ(ReadFile(d.filePath(QStringLiteral("Copy a.m"))), "edited");

    // A refused replace keeps both; a move onto itself keeps the source; a
    // confirmed move replaces and removes the source.
    WriteFile(outside.filePath(QStringLiteral("a.m")), "new");
    const auto refuse = [](const QString&, const QDateTime&, const QDateTime&) { return false; };
    const auto agree = [](const QString&, const QDateTime&, const QDateTime&) { return true; };
    EXPECT_EQ(CFileOperations::Transfer(outside.filePath(QStringLiteral("a.m")), dir.path(), true, refuse),
              CFileOperations::Result::Refused);
    EXPECT_EQ(ReadFile(d.filePath(QStringLiteral("a.m"))), "a");
    EXPECT_EQ(ReadFile(outside.filePath(QStringLiteral("a.m"))), "new");
    EXPECT_EQ(CFileOperations::Transfer(d.filePath(QStringLiteral("a.m")), dir.path(), true, agree),
              CFileOperations::Result::Same);
    EXPECT_EQ(ReadFile(d.filePath(QStringLiteral("a.m"))), "a");
    EXPECT_EQ(CFileOperations::Transfer(outside.filePath(QStringLiteral("a.m")), dir.path(), true, agree),
              CFileOperations::Result::Done);
    EXPECT_EQ(ReadFile(d.filePath(QStringLiteral("a.m"))), "new");
    EXPECT_FALSE(QFileInfo::exists(outside.filePath(QStringLiteral("a.m"))));
}

TEST(ZipFile, HostileAndForeignArchives)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    d.mkpath(QStringLiteral("work"));
    const QString archive = d.filePath(QStringLiteral("work/evil.zip"));
    zipFile zip = zipOpen64(QFile::encodeName(archive).constData(), APPEND_STATUS_CREATE);
    ASSERT_TRUE(zip);
    for (const char* name : {"../x", "/tmp/kestrune-abs-x", "a/../../y", "ok.txt"}) {
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip64(zip, name, &info, nullptr, 0, nullptr, 0, nullptr, 8, 6, 0), ZIP_OK);
        zipWriteInFileInZip(zip, "bad", 3);
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    const CZipFile::ExtractResult result = CZipFile::Extract(archive, d.filePath(QStringLiteral("work/evil")));
    EXPECT_EQ(result.skipped.size(), 3);
    EXPECT_EQ(result.written, 1);
    EXPECT_FALSE(QFileInfo::exists(d.filePath(QStringLiteral("work/x"))));
    EXPECT_FALSE(QFileInfo::exists(d.filePath(QStringLiteral("y"))));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/tmp/kestrune-abs-x")));

    // Other tools read a name as UTF-8 only when the entry says so; else
    // "é" becomes two letters of a DOS code page.
    const QString odd = d.filePath(QStringLiteral("work/d'é 中.m"));
    WriteFile(odd, "x");
    ASSERT_TRUE(CZipFile::Create(d.filePath(QStringLiteral("odd.zip")), {odd}));
    unzFile made = unzOpen64(QFile::encodeName(d.filePath(QStringLiteral("odd.zip"))).constData());
    ASSERT_TRUE(made);
    unz_file_info64 entry{};
    char entryName[256] = {};
    ASSERT_EQ(unzGetCurrentFileInfo64(made, &entry, entryName, sizeof entryName, nullptr, 0, nullptr, 0), UNZ_OK);
    unzClose(made);
    EXPECT_EQ(QString::fromUtf8(entryName), QStringLiteral("d'é 中.m"));
    EXPECT_TRUE(entry.flag & (1u << 11));
    EXPECT_EQ(entry.version >> 8, 3u);

    const QByteArray gzipHead("\x1f\x8b\x08\x00", 4);
    WriteFile(d.filePath(QStringLiteral("saved.zip")), gzipHead + QByteArray(40, 'z'));
    const CZipFile::ExtractResult gz = CZipFile::Extract(d.filePath(QStringLiteral("saved.zip")), d.filePath(QStringLiteral("saved")));
    EXPECT_TRUE(gz.gzip);
    EXPECT_FALSE(gz.ok);
    EXPECT_TRUE(gz.error.contains(QStringLiteral("gzip")));
}

TEST(FileFinder, FindsLinesCaseInsensitivelyWithoutFollowingLinksOrReadingBinaries)
{
    QTemporaryDir dir;
    QTemporaryDir outside;
    const QDir d(dir.path());
    d.mkpath(QStringLiteral("sub"));
    WriteFile(d.filePath(QStringLiteral("a.m")), "x = 1;\r\nplot(x)\n% no\nsubplot(2); Plot\n");
    WriteFile(d.filePath(QStringLiteral("sub/b.m")), "PLOT" + QByteArray(5000, 'y') + "\n");
    WriteFile(d.filePath(QStringLiteral("bin.m")), QByteArray("plot\0plot", 9));
    WriteFile(outside.filePath(QStringLiteral("c.m")), "plot\n");
    QFile::link(outside.path(), d.filePath(QStringLiteral("linked")));
    // A named pipe is no file to read: the search must not wait for a writer.
    ASSERT_EQ(::mkfifo(QFile::encodeName(d.filePath(QStringLiteral("sub/pipe.m"))).constData(), 0600), 0);

    struct Hit {
        QString name;
        int line;
        QString text;
    };
    const auto search = [&](bool subFolders) {
        std::vector<Hit> hits;
        CFileFinder finder;
        CFileFinder::Options options{dir.path(), QStringLiteral("**.m"), subFolders, QStringLiteral("Plot")};
        finder.Search(options, [&](const QString&, const QString& name, const std::vector<CFileFinder::LineHit>& lines) {
            for (const auto& l : lines)
                hits.push_back({name, l.line, l.text});
        });
        std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.name < b.name || (a.name == b.name && a.line < b.line); });
        return hits;
    };
    const std::vector<Hit> base = search(false);
    ASSERT_EQ(base.size(), 2u);
    EXPECT_EQ(base[0].line, 2);
    EXPECT_EQ(base[0].text, QStringLiteral("plot(x)"));
    EXPECT_EQ(base[1].line, 4);
    const std::vector<Hit> all = search(true);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[2].name, QStringLiteral("b.m"));
    EXPECT_EQ(all[2].text.size(), CFileFinder::kMaxLineText);
}

TEST(FilesSettings, RememberedListsStayParsable)
{
    QStringList list;
    EXPECT_TRUE(CFilesSettings::Remember(list, QStringLiteral("plot")));
    EXPECT_FALSE(CFilesSettings::Remember(list, QStringLiteral("plot")));
    EXPECT_FALSE(CFilesSettings::Remember(list, QStringLiteral("a,b")));
    for (int i = 0; i < 30; ++i)
        CFilesSettings::Remember(list, QString::number(i));
    EXPECT_EQ(list.size(), CFilesSettings::kMaxRemembered);
    EXPECT_EQ(list.first(), QStringLiteral("29"));
    CFilesSettings settings;
    settings.findFiles = list;
    settings.toSettings(CKestruneSettings::DefaultProgram());
    EXPECT_EQ(CFilesSettings::fromSettings(CKestruneSettings::DefaultProgram()).findFiles, list);
}
