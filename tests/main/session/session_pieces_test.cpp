#include <gtest/gtest.h>


#include "recordingpanes.h"
#include "tests/main/session/textpieces.h"

namespace {

// What the command window shows of a run: its text, and per byte what it
// looks like ('.' plain, 'r' red, 'l' link, 'b' bold).
struct Shown {
    std::string text;
    std::string look;
};

Shown Show(const std::vector<std::string>& pieces)
{
    RecordingPanes panes;
    OfflineSession session(&panes);
    for (const std::string& piece : pieces)
        session.Dispatch(piece);
    // The reader's quiet polls give back what waited for more.
    for (int i = 0; i < 10; ++i)
        session.Idle();
    return panes.Locked([&] {
        Shown shown;
        for (const RecordingPanes::Write& w : panes.writes) {
            std::string look(w.text.size(), '.');
            for (const CTextSpan& span : w.spans) {
                const char mark = span.kind == CTextSpan::Error ? 'r' : span.kind == CTextSpan::Link ? 'l' : 'b';
                for (std::size_t i = span.start; i < span.start + span.length && i < look.size(); ++i)
                    look[i] = look[i] == 'r' && mark == 'l' ? 'L' : mark;
            }
            // A line end has no colour to see.
            for (std::size_t i = 0; i < look.size(); ++i)
                if (w.text[i] == '\n')
                    look[i] = '.';
            shown.text += w.text;
            shown.look += look;
        }
        return shown;
    });
}

// A session as the interpreter writes it: a loop's lines, an error with its
// call stack, a statement, all between prompts.
const std::string kOutput =
    "octave:1> "
    "1\n2\n3\n4\n5\n"
    "octave:2> "
    "error: 'undefined_thing' undefined\n"
    "octave:3> "
    "error: boom\nerror: called from\n    f at line 3 column 5\n"
    "octave:4> "
    "x = 42\n\nsee https://octave.org/doc for more\n"
    "octave:5> ";

TEST(SessionPieces, OnePieceSingleBytesAndRandomPiecesShowTheSame)
{
    const Shown whole = Show({kOutput});
    // The sample is what it should be: prompts bold, errors red, a link.
    EXPECT_EQ(whole.text.find("octave:"), std::string::npos) << whole.text;
    EXPECT_NE(whole.look.find('b'), std::string::npos);
    const std::size_t boom = whole.text.find("error: boom");
    ASSERT_NE(boom, std::string::npos);
    EXPECT_EQ(whole.look[boom], 'r');
    EXPECT_EQ(whole.look[whole.text.find("x = 42")], '.');

    const Shown single = Show(SingleBytes(kOutput));
    EXPECT_EQ(single.text, whole.text);
    EXPECT_EQ(single.look, whole.look);

    std::mt19937 random(21);
    for (int round = 0; round < 20; ++round) {
        const std::vector<std::string> pieces = RandomPieces(kOutput, random, 24);
        const Shown cut = Show(pieces);
        EXPECT_EQ(cut.text, whole.text) << "round " << round;
        EXPECT_EQ(cut.look, whole.look) << "round " << round;
    }
}

}  // namespace
