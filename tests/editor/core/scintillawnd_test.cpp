#include "platform/ceditorsettings.h"
#include "editor/core/cscintillawnd.h"
#include "editor/core/filenamebytes.h"
#include "platform/cprofile.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using B = QsciScintillaBase;

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

long Msg(CScintillaWnd& w, unsigned msg, unsigned long wParam = 0)
{
    return w.SendScintilla(msg, wParam);
}

}  // namespace

TEST(EditorSettings, DefaultsAndProfileRoundTrip)
{
    CProfile profile(QStringLiteral("MarlinoteSettingsTest"));
    CEditorSettings fresh;
    fresh.fromSettings(profile);  // nothing stored: the defaults
    EXPECT_EQ(fresh, CEditorSettings());
    EXPECT_EQ(fresh.styles[4].foreColor, 0xFF0000);
    EXPECT_TRUE(fresh.styles[4].bold);
    EXPECT_EQ(fresh.styles[1].foreColor, 0x228B22);
    EXPECT_EQ(fresh.edgeColumn, 50);

    CEditorSettings changed;
    changed.smartIndent = false;
    changed.tabSize = 2;
    changed.extension = QStringLiteral("bak");
    changed.styles[8].fontName = QStringLiteral("Mono");
    changed.styles[3].backColor = 0x123456;
    changed.edgeStyle = 2;
    changed.foldingStyle = 3;
    EXPECT_NE(changed, CEditorSettings());
    changed.toSettings(profile);
    EXPECT_EQ(profile.GetInt(QStringLiteral("General"), QStringLiteral("SmarIndent"), 1), 0);
    EXPECT_EQ(profile.GetInt(QStringLiteral("BackColor"), QStringLiteral("NUMBER"), 0), 0x123456);

    CEditorSettings read;
    read.fromSettings(profile);
    EXPECT_EQ(read, changed);
}

TEST(ScintillaWnd, ApplySettingsReadsBack)
{
    CScintillaWnd w;
    CEditorSettings s;
    s.tabSize = 3;
    s.useSpaces = false;
    s.caretWidth = 4;
    s.zoomLevel = 2;
    w.ApplySettings(s, "disp zeros");

    EXPECT_EQ(Msg(w, B::SCI_GETLEXER), 54);
    EXPECT_EQ(Msg(w, B::SCI_STYLEGETFORE, 1), 0x228B22);
    EXPECT_EQ(Msg(w, B::SCI_STYLEGETFORE, 3), 0x0080FF);
    EXPECT_EQ(Msg(w, B::SCI_STYLEGETBOLD, 4), 1);
    EXPECT_EQ(Msg(w, B::SCI_STYLEGETBOLD, 2), 0);
    EXPECT_EQ(Msg(w, B::SCI_STYLEGETSIZE, 0), 10);
    EXPECT_EQ(Msg(w, B::SCI_GETTABWIDTH), 3);
    EXPECT_EQ(Msg(w, B::SCI_GETUSETABS), 1);
    EXPECT_EQ(Msg(w, B::SCI_GETZOOM), 2);
    EXPECT_EQ(Msg(w, B::SCI_GETCARETSTYLE), 2);  // block
    EXPECT_EQ(Msg(w, B::SCI_GETCARETLINEBACK), 0xFFFF80);
    EXPECT_EQ(Msg(w, B::SCI_GETEDGEMODE), 1);
    EXPECT_EQ(Msg(w, B::SCI_GETEDGECOLUMN), 100);  // a line edge stands at twice the column
    EXPECT_EQ(Msg(w, B::SCI_GETMARGINWIDTHN, 1), 16);
    EXPECT_EQ(Msg(w, B::SCI_GETMARGINWIDTHN, 2), 16);
    EXPECT_GT(Msg(w, B::SCI_GETMARGINWIDTHN, 0), 0);
    EXPECT_EQ(Msg(w, B::SCI_MARKERSYMBOLDEFINED, B::SC_MARKNUM_FOLDEROPEN), B::SC_MARK_BOXMINUS);
    EXPECT_EQ(Msg(w, B::SCI_GETEOLMODE), static_cast<long>(CScintillaWnd::LineEnd::Lf));
    // Told before changes only: the after-notices cost a count of the whole text.
    EXPECT_EQ(Msg(w, B::SCI_GETMODEVENTMASK), B::SC_MOD_BEFOREINSERT | B::SC_MOD_BEFOREDELETE);
    // The component's accessible (whose text interface counts characters from
    // the start on each caret move) is replaced by a plain one.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&w);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->textInterface(), nullptr);

    s.edgeStyle = 2;
    s.edgeColumn = 40;
    s.foldingStyle = 0;
    s.caretWidth = 2;
    w.ApplySettings(s, "");
    EXPECT_EQ(Msg(w, B::SCI_GETEDGECOLUMN), 40);
    EXPECT_EQ(Msg(w, B::SCI_GETMARGINWIDTHN, 2), 0);
    EXPECT_EQ(Msg(w, B::SCI_GETCARETSTYLE), 1);
    EXPECT_EQ(Msg(w, B::SCI_GETCARETWIDTH), 2);
}

TEST(ScintillaWnd, OctaveLexerStylesText)
{
    CScintillaWnd w;
    w.ApplySettings(CEditorSettings(), "disp");
    w.SetText("% note\nx = 12;\ndisp('a')\n");
    w.SendScintilla(B::SCI_COLOURISE, 0UL, -1L);
    EXPECT_EQ(w.GetStyleAt(0), 1);   // comment
    EXPECT_EQ(w.GetStyleAt(11), 3);  // the number 12
    EXPECT_EQ(w.GetStyleAt(15), 4);  // disp is in the keyword list
    EXPECT_EQ(w.GetStyleAt(20), 5);  // 'a'
}

TEST(ScintillaWnd, LineEndsSurviveLoadAndSave)
{
    QTemporaryDir dir;
    const QByteArray crlf = "a = 1;\r\nif a\r\n  b = 2;\r\nend\r\n";
    const QByteArray lf = "a = 1;\nif a\n  b = 2;\nend";
    const QByteArray mixed = "a\r\nb\xe9\nc\rd\n";  // with a byte that is not UTF-8
    struct Case {
        const char* name;
        QByteArray bytes;
        CScintillaWnd::LineEnd mode;
    } cases[] = {{"crlf.m", crlf, CScintillaWnd::LineEnd::CrLf},
                 {"lf.m", lf, CScintillaWnd::LineEnd::Lf},
                 {"mixed.m", mixed, CScintillaWnd::LineEnd::CrLf}};
    for (const Case& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        ASSERT_TRUE(WriteAll(path, c.bytes));
        CScintillaWnd w;
        ASSERT_TRUE(w.LoadFromFile(path)) << c.name;
        w.ApplySettings(CEditorSettings(), "");  // settings never rewrite line ends
        EXPECT_EQ(w.GetLineEnd(), c.mode) << c.name;
        EXPECT_EQ(Msg(w, B::SCI_GETMODIFY), 0) << c.name;
        const QString copy = path + ".out";
        ASSERT_TRUE(w.SaveToFile(copy)) << c.name;
        EXPECT_EQ(ReadAll(copy), c.bytes) << c.name;
        ASSERT_TRUE(w.SaveToFile(path)) << c.name;
        EXPECT_EQ(ReadAll(path), c.bytes) << c.name;
    }

    // A new line typed into a CR LF file gets CR LF.
    CScintillaWnd w;
    ASSERT_TRUE(w.LoadFromFile(dir.filePath("crlf.m")));
    w.SendScintilla(B::SCI_DOCUMENTEND);
    w.SendScintilla(B::SCI_NEWLINE);
    EXPECT_TRUE(w.GetText().endsWith("end\r\n\r\n"));
}

TEST(ScintillaWnd, AFileWhoseNameIsNotUtf8IsReadAndWrittenUnderThatName)
{
    QTemporaryDir dir;
    const QByteArray bytes = QFile::encodeName(dir.path()) + "/caf\xe9.m";
    FILE* raw = std::fopen(bytes.constData(), "w");
    ASSERT_NE(raw, nullptr);
    std::fputs("x = 1;\n", raw);
    std::fclose(raw);

    const QString name = FileNameBytes::Decode(bytes);
    EXPECT_EQ(FileNameBytes::Encode(name), bytes);
    CScintillaWnd w;
    ASSERT_TRUE(w.LoadFromFile(name));
    EXPECT_EQ(w.GetText(), QByteArray("x = 1;\n"));
    w.SetText("x = 2;\n");
    ASSERT_TRUE(w.SaveToFile(name));
    raw = std::fopen(bytes.constData(), "r");
    ASSERT_NE(raw, nullptr);
    char line[16] = {};
    EXPECT_NE(std::fgets(line, sizeof line, raw), nullptr);
    std::fclose(raw);
    EXPECT_STREQ(line, "x = 2;\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);  // no stray temporary
}

TEST(ScintillaWnd, FailedReadsAndWritesAreReported)
{
    QTemporaryDir dir;
    CScintillaWnd w;
    w.SetText("old text");
    QString error;
    EXPECT_FALSE(w.LoadFromFile(dir.filePath("missing.m"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(w.GetText(), QByteArray("old text"));  // nothing replaced

    // The target's folder is a plain file: nothing can be written there.
    const QString blocker = dir.filePath("blocker");
    ASSERT_TRUE(WriteAll(blocker, "keep"));
    w.SetText("new text");
    error.clear();
    EXPECT_FALSE(w.SaveToFile(blocker + "/f.m", &error));
    EXPECT_TRUE(error.contains(QLatin1String("f.m")));
    EXPECT_EQ(ReadAll(blocker), QByteArray("keep"));
    EXPECT_NE(Msg(w, B::SCI_GETMODIFY), 0);  // still unsaved
}

TEST(ScintillaWnd, LexerTableAndWords)
{
    EXPECT_EQ(CScintillaWnd::LexerForExtension("m"), 54);
    EXPECT_EQ(CScintillaWnd::LexerForExtension("M"), 54);
    EXPECT_EQ(CScintillaWnd::LexerForExtension("cpp"), 3);  // the first row that lists it
    EXPECT_EQ(CScintillaWnd::LexerForExtension("mak"), 3);
    EXPECT_EQ(CScintillaWnd::LexerForExtension("f77"), 37);
    EXPECT_EQ(CScintillaWnd::LexerForExtension("py"), 2);
    EXPECT_EQ(CScintillaWnd::LexerForExtension("unknownext"), 54);

    CScintillaWnd w;
    w.ApplySettings(CEditorSettings(), "");
    w.SetText("y = s.field + x-2.5;");
    EXPECT_EQ(w.GetWordAt(7, false), QByteArray("s.field"));
    long start = 0;
    long end = 0;
    EXPECT_EQ(w.GetWordAt(17, true, &start, &end), QByteArray("-2.5"));
    EXPECT_EQ(start, 15);
    EXPECT_EQ(end, 19);
    // The numeric word characters are temporary.
    EXPECT_EQ(w.GetWordAt(14, false), QByteArray("x"));
    EXPECT_EQ(w.GetWordAt(16, false), QByteArray("2.5"));
    EXPECT_EQ(w.GetWordAt(2, false), QByteArray());
}
