#include "editor/core/cmarlinotedoc.h"
#include "editor/core/cmarlinoteview.h"
#include "editor/core/cscintillawnd.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

TEST(MarlinoteDoc, TitleFollowsFileAndModifiedState)
{
    QTemporaryDir dir;
    CMarlinoteView view;
    CMarlinoteDoc* doc = view.GetDocument();
    EXPECT_EQ(doc->GetTitle(), QStringLiteral("Untitled"));
    EXPECT_TRUE(doc->GetPath().isEmpty());
    QString error;
    EXPECT_FALSE(doc->Save(&error));  // no path yet
    EXPECT_FALSE(error.isEmpty());

    QSignalSpy titles(doc, &CMarlinoteDoc::titleChanged);
    doc->SetTitle(QStringLiteral("foo.m*"));
    view.GetEditor()->SetText("function foo\n");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), QStringLiteral("foo.m*"));
    EXPECT_EQ(doc->GetFunctionName(), QByteArray("foo"));

    const QString path = dir.filePath("bar.m");
    ASSERT_TRUE(doc->SaveAs(path, &error)) << error.toStdString();
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), QStringLiteral("bar.m"));
    EXPECT_EQ(doc->GetPath(), path);
    EXPECT_EQ(titles.last().at(0).toString(), QStringLiteral("bar.m"));

    view.GetEditor()->SetText("x\n");
    EXPECT_EQ(titles.last().at(0).toString(), QStringLiteral("bar.m*"));
    ASSERT_TRUE(doc->Save());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("x\n"));

    CMarlinoteView other;
    ASSERT_TRUE(other.GetDocument()->LoadFromFile(path));
    EXPECT_EQ(other.GetDocument()->GetTitle(), QStringLiteral("bar.m"));
    EXPECT_FALSE(other.GetDocument()->IsModified());

    // A failed (re)load keeps the text, the path and the unsaved state.
    other.GetEditor()->SetText("edited\n");
    error.clear();
    EXPECT_FALSE(other.GetDocument()->LoadFromFile(dir.filePath("gone.m"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(other.GetEditor()->GetText(), QByteArray("edited\n"));
    EXPECT_EQ(other.GetDocument()->GetPath(), path);
    EXPECT_TRUE(other.GetDocument()->IsModified());
}
