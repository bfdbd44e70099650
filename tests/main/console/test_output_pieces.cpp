// The same interpreter output, cut into one piece, single bytes or random
// pieces, through the session's dispatcher into the real command window:
// the window shows the same text with prompts, errors and links in the same
// places every time.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QTextBlock>


#include "main/console/ckestruneview.h"
#include "main/console/cconsolesink.h"
#include "main/session/csessionevents.h"
#include "main/session/coctaveredirector.h"
#include "tests/main/session/textpieces.h"

namespace {

class FedSession : public COctaveRedirector {
public:
    using COctaveRedirector::COctaveRedirector;
    using COctaveRedirector::Dispatch;
    void Quiet()
    {
        for (int i = 0; i < 10; ++i)
            OnReaderIdle();
    }
};

// Per character: '.' plain, 'r' red, 'l' link, 'b' bold; line ends plain.
QString Look(const QTextDocument* document)
{
    QString look;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QChar mark = format.isAnchor()                               ? QLatin1Char('l')
                               : format.foreground().color() == QColor(Qt::red) ? QLatin1Char('r')
                               : format.fontWeight() == QFont::Bold            ? QLatin1Char('b')
                                                                               : QLatin1Char('.');
            look += QString(fragment.length(), mark);
        }
        if (block.next().isValid())
            look += QLatin1Char('.');
    }
    return look;
}

struct Shown {
    QString text;
    QString look;
};

Shown Show(const std::vector<std::string>& pieces, int maxLines)
{
    CKestruneView view;
    CConsoleSink sink(&view);
    CSessionEvents panes(&sink);
    FedSession session(&panes);
    CSessionOptions options;
    options.maxLines = maxLines;
    options.tempFolder = "/nonexistent-kestrune";
    session.SetOptions(options);
    // Each piece reaches the window before the next is read, as when the
    // interpreter writes slowly.
    for (const std::string& piece : pieces) {
        session.Dispatch(piece);
        QCoreApplication::processEvents();
        view.FlushPending();
    }
    session.Quiet();
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.Text().endsWith(QStringLiteral(">> ")); }, 5000));
    QTest::qWait(40);  // a frame or two: everything posted is drawn
    return {view.Text(), Look(view.document())};
}

std::string Output()
{
    std::string out = "octave:1> ";
    for (int i = 1; i <= 300; ++i)
        out += std::to_string(i) + "\n";
    out += "octave:2> error: 'undefined_thing' undefined\n"
           "octave:3> error: boom\nerror: called from\n    f at line 3 column 5\n"
           "octave:4> x = 42\n\nsee https://octave.org/doc/ for more\n"
           "octave:5> ";
    return out;
}

TEST(OutputPieces, WindowShowsTheSameWhateverTheCuts)
{
    const std::string output = Output();
    for (int maxLines : {0, 100}) {
        const Shown whole = Show({output}, maxLines);
        ASSERT_TRUE(whole.text.contains(QStringLiteral(">> error: boom")) ||
                    whole.text.contains(QStringLiteral("\nerror: boom")))
            << whole.text.toStdString();
        const int boom = static_cast<int>(whole.text.indexOf(QStringLiteral("error: boom")));
        EXPECT_EQ(whole.look.at(boom), QLatin1Char('r'));
        EXPECT_EQ(whole.look.at(whole.text.indexOf(QStringLiteral("f at line 3"))), QLatin1Char('l'));
        EXPECT_EQ(whole.look.at(whole.text.indexOf(QStringLiteral("octave.org"))), QLatin1Char('l'));
        EXPECT_EQ(whole.look.at(whole.text.indexOf(QStringLiteral("x = 42"))), QLatin1Char('.'));
        EXPECT_TRUE(whole.look.endsWith(QStringLiteral("bbb")));
        if (maxLines) {
            EXPECT_FALSE(whole.text.contains(QStringLiteral("\n100\n")));
        }

        const Shown single = Show(SingleBytes(output), maxLines);
        EXPECT_EQ(single.text.toStdString(), whole.text.toStdString());
        EXPECT_EQ(single.look.toStdString(), whole.look.toStdString());

        std::mt19937 random(static_cast<unsigned>(maxLines) + 7);
        for (int round = 0; round < 5; ++round) {
            const std::vector<std::string> pieces = RandomPieces(output, random, 40);
            const Shown cut = Show(pieces, maxLines);
            EXPECT_EQ(cut.text.toStdString(), whole.text.toStdString()) << "round " << round;
            EXPECT_EQ(cut.look.toStdString(), whole.look.toStdString()) << "round " << round;
        }
    }
}

}  // namespace
