// A click on a help link of the interpreter's output asks for help only
// about a name.
#include <QTextBlock>

#include "main/console/ckestruneview.h"
#include "main/console/iconsolehost.h"
#include "tests/main/console/kestrunetestsupport.h"

namespace {

class RecordingHost : public IConsoleHost {
public:
    bool QueueCommand(const std::string& text, bool) override
    {
        queued.push_back(text);
        return true;
    }
    bool SendRaw(const std::string&) override { return true; }
    bool IsConnected() const override { return true; }
    bool InterpreterKnown() const override { return true; }
    bool IsDebugMode() const override { return false; }
    void RequestWorkspaceRefresh() override {}
    void RequestInterrupt() override {}
    void OpenInEditor(const std::string&) override {}

    std::vector<std::string> queued;
};

TEST(HelpLink, OnlyANameIsAskedAbout)
{
    RecordingHost host;
    CKestruneView view;
    view.SetHost(&host);
    view.resize(900, 300);
    view.show();
    const QString text = QStringLiteral("See also: sin, x;system(\"touch kg\")\n");
    const int bad = text.indexOf(QLatin1Char('x'));
    view.PostWrite(text, {{10, 3, CKestruneView::Span::Link}, {bad, int(text.size()) - bad - 1,
                                                                CKestruneView::Span::Link}}, 0);
    view.FlushPending();
    QTest::qWait(50);
    auto click = [&view](int at) {
        QTextCursor cursor(view.document());
        cursor.setPosition(at + 1);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, view.cursorRect(cursor).center());
    };
    click(bad);
    EXPECT_TRUE(host.queued.empty());
    click(10);
    EXPECT_EQ(host.queued, std::vector<std::string>{"help sin"});
}

}  // namespace
