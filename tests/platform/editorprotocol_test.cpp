#include "platform/editorprotocol.h"

#include <gtest/gtest.h>

using namespace EditorProtocol;

TEST(EditorProtocol, StatementsEchoedAndSilent)
{
    Statement s;
    ASSERT_TRUE(DecodeStatement(EncodeStatement("dbstep", true), s));
    EXPECT_EQ(s.text, "dbstep");
    EXPECT_TRUE(s.echo);
    ASSERT_TRUE(DecodeStatement(EncodeStatement("getvalue:x", false), s));
    EXPECT_EQ(s.text, "getvalue:x");
    EXPECT_FALSE(s.echo);
    // A sender's CR LF and its terminating NUL are not part of the statement.
    ASSERT_TRUE(DecodeStatement(QByteArray("a = 1;\r\n####\0", 13), s));
    EXPECT_EQ(s.text, "a = 1;");
    EXPECT_FALSE(s.echo);
    // The mark before the line end means silent too.
    ASSERT_TRUE(DecodeStatement("b = 2;####\r\n", s));
    EXPECT_EQ(s.text, "b = 2;");
    EXPECT_FALSE(s.echo);
    EXPECT_FALSE(DecodeStatement(EncodeStatement("", false), s));
}

// Each kind comes back as itself, even when its value looks like another kind.
TEST(EditorProtocol, EveryMessageKindRoundTrips)
{
    const QByteArray tricky = "/w/line 3/error: debug/f.m";
    Message m = Decode(EncodeDebug(tricky, 12));
    EXPECT_EQ(m.kind, Kind::Debug);
    EXPECT_EQ(m.line, 12);
    EXPECT_EQ(m.path, tricky);

    m = Decode(EncodeDebugEnded(tricky));
    EXPECT_EQ(m.kind, Kind::DebugEnded);
    EXPECT_EQ(m.path, tricky);

    m = Decode(EncodeValue("<b>s </b>= error: line 4 debug"));
    EXPECT_EQ(m.kind, Kind::Value);
    EXPECT_EQ(m.text, "<b>s </b>= error: line 4 debug");

    m = Decode(EncodeCompletion("abs\ndebug_on_error\nline\n>> "));
    EXPECT_EQ(m.kind, Kind::Completion);
    EXPECT_EQ(m.names, (QList<QByteArray>{"abs", "debug_on_error", "line"}));

    m = Decode(EncodeParameters(" -- dbstop (FUNC, LINE)\n error: is not here"));
    EXPECT_EQ(m.kind, Kind::Parameters);
    EXPECT_EQ(m.text, " -- dbstop (FUNC, LINE)\n error: is not here");

    m = Decode(EncodeCurrentPath(tricky));
    EXPECT_EQ(m.kind, Kind::CurrentPath);
    EXPECT_EQ(m.path, tricky);

    EXPECT_EQ(Decode(EncodeUpdatePreferences()).kind, Kind::UpdatePreferences);
    EXPECT_EQ(Decode(EncodeInterpreterStarted()).kind, Kind::InterpreterStarted);
    EXPECT_EQ(Decode(EncodeClose()).kind, Kind::Close);

    m = Decode(EncodeErrorLocation(tricky, 7, 3));
    EXPECT_EQ(m.kind, Kind::ErrorLocation);
    EXPECT_EQ(m.line, 7);
    EXPECT_EQ(m.column, 3);
    EXPECT_EQ(m.path, tricky);

    m = Decode(EncodeError("error: 'f' undefined near line 1, column 1"));
    EXPECT_EQ(m.kind, Kind::Error);
    EXPECT_EQ(m.text, "error: 'f' undefined near line 1, column 1");

    // Texts that only hold a keyword somewhere are no message.
    for (const QByteArray& text : {QByteArray("x at line 3"), QByteArray("a debug\nLine=3\nPath=/f.m"),
                                  QByteArray("closed"), QByteArray("debugger\nLine=1")})
        EXPECT_EQ(Decode(text).kind, Kind::Unknown) << text.constData();
}

TEST(EditorProtocol, BreakpointAnswers)
{
    Message m = Decode(EncodeBreakpointAnswer("dbstop('it''s','11')", "ans = 13\n"));
    EXPECT_EQ(m.kind, Kind::Breakpoint);
    EXPECT_EQ(m.function, "it's");
    EXPECT_EQ(m.requested, 11);
    EXPECT_EQ(m.line, 13);
    // Past the end: no line set.
    m = Decode(EncodeBreakpointAnswer("dbstop('f','40')", "ans = [](1x0)\n"));
    EXPECT_EQ(m.kind, Kind::Breakpoint);
    EXPECT_EQ(m.line, 0);
    // Nothing to tell: the line asked for, an error, or another statement.
    EXPECT_TRUE(EncodeBreakpointAnswer("dbstop('f','5')", "ans = 5\n").isEmpty());
    EXPECT_TRUE(EncodeBreakpointAnswer("dbstop('f','5')", "error: unable to find function").isEmpty());
    EXPECT_TRUE(EncodeBreakpointAnswer("dbclear('f','5'); dbstop('f','3');", "ans = 4\n").isEmpty());
}
