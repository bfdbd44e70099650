// History recall and the completion request: the rules behind Up, Down and Tab.
#include <gtest/gtest.h>

#include "main/console/ccompletionrequest.h"
#include "main/console/chistoryrecall.h"

namespace {
using Action = CHistoryRecall::Action;

TEST(HistoryRecall, UpWalksBackThenEmptiesThenWrapsToNewest)
{
    const QStringList history{"a = 1", "b = 2", "c = 3"};
    int cursor = 3;
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "").index, 2);
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "").index, 1);
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "").index, 0);
    const CHistoryRecall::Step empty = CHistoryRecall::Backward(history, cursor, "");
    EXPECT_EQ(empty.action, Action::Clear);
    EXPECT_EQ(cursor, 3);
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "").index, 2);
}

TEST(HistoryRecall, PrefixIgnoresCaseAndSkipsOtherEntries)
{
    const QStringList history{"plot(x)", "y = 2", "PLOT(y)", "z = 1"};
    int cursor = 4;
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "pl").index, 2);
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "pl").index, 0);
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "pl").action, Action::Clear);
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "pl").index, 2);
    EXPECT_EQ(CHistoryRecall::Forward(history, cursor, "pl").action, Action::Show);
    EXPECT_EQ(cursor, 2) << "wrapped from index 1";
}

TEST(HistoryRecall, WrapsOnceAndNeverReachesTheEdgeEntry)
{
    const QStringList history{"plot(x)", "y = 2", "PLOT(y)", "z = 1"};
    int cursor = 1;
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "y").index, 1) << "found after the wrap";
    cursor = 1;
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "z").action, Action::Nothing)
        << "the newest entry is not examined after the wrap";
    EXPECT_EQ(cursor, 0);
    cursor = 1;
    EXPECT_EQ(CHistoryRecall::Forward(history, cursor, "plot(x").action, Action::Nothing)
        << "entry 0 is not examined after the wrap";
    EXPECT_EQ(cursor, 2);
}

TEST(HistoryRecall, NoMatchMovesTheCursorOnly)
{
    const QStringList history{"a", "b"};
    int cursor = 2;
    EXPECT_EQ(CHistoryRecall::Backward(history, cursor, "q").action, Action::Nothing);
    EXPECT_EQ(cursor, 1);
    cursor = 0;
    EXPECT_EQ(CHistoryRecall::Forward(history, cursor, "q").action, Action::Nothing);
    EXPECT_EQ(cursor, 1);
}

TEST(HistoryRecall, DownPastNewestEmptiesAndRestartsAtOne)
{
    const QStringList history{"a", "b", "c"};
    int cursor = 1;
    EXPECT_EQ(CHistoryRecall::Forward(history, cursor, "").index, 2);
    EXPECT_EQ(CHistoryRecall::Forward(history, cursor, "").action, Action::Clear);
    EXPECT_EQ(cursor, 0);
    EXPECT_EQ(CHistoryRecall::Forward(history, cursor, "").index, 1);
    int atEnd = 3;
    EXPECT_EQ(CHistoryRecall::Forward(history, atEnd, "").action, Action::Nothing);
    QStringList none;
    int zero = 0;
    EXPECT_EQ(CHistoryRecall::Backward(none, zero, "").action, Action::Clear);
    EXPECT_EQ(CHistoryRecall::Forward(none, zero, "").action, Action::Nothing);
}

TEST(CompletionRequest, TokenAfterTheLastDelimiter)
{
    CCompletionRequest assign = CCompletionRequest::Build(">> x = lins", 11);
    EXPECT_EQ(assign.token, "lins");
    EXPECT_EQ(assign.replaceStart, 7);
    EXPECT_EQ(assign.replaceEnd, 11);
    EXPECT_EQ(assign.statement, "completion_matches('lins')###");

    EXPECT_EQ(CCompletionRequest::Build("plot(ab", 7).token, "ab");
    const CCompletionRequest field = CCompletionRequest::Build("s.", 2);
    EXPECT_EQ(field.token, "");
    EXPECT_EQ(field.statement, "completion_matches('')###");
    EXPECT_EQ(CCompletionRequest::Build("a\nbc", 4).token, "bc");
    EXPECT_EQ(CCompletionRequest::Build("a\r\nbc", 5).token, "bc");
    EXPECT_EQ(CCompletionRequest::Build("a\rbc", 4).token, "bc");
    EXPECT_EQ(CCompletionRequest::Delimiters().size(), 24);
}
}  // namespace
