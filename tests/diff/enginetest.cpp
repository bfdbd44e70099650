#include "tests/diff/difftesthelpers.h"

#include <gtest/gtest.h>

#include <random>

using difftest::Partition;
using difftest::Rows;

namespace {

COptionList Options(bool ignoreCase, bool ignoreIndent)
{
    COptionList options;
    if (ignoreCase)
        options.SetOption("case", "no");
    if (ignoreIndent)
        options.SetOption("indent", "no");
    return options;
}

std::vector<std::string> CompareRows(const std::vector<std::string>& a, const std::vector<std::string>& b,
                                     const COptionList& options = COptionList())
{
    const CFilePartition first = Partition(a, options, "a");
    const CFilePartition second = Partition(b, options, "b");
    CFilePartition left, right;
    CFilePartition::Compare(first, second, left, right);
    EXPECT_EQ(left.GetName(), "a");
    EXPECT_EQ(right.GetName(), "b");
    EXPECT_EQ(left.GetLineCount(), right.GetLineCount());
    return Rows(left, right);
}

} // namespace

TEST(DiffOptionList, PrefixMatchRewritesValueAndAbsentKeyIsNotInForce)
{
    COptionList options;
    EXPECT_EQ(options.GetOption("case"), "");
    EXPECT_FALSE(options.IsInForce("case"));

    options.AddEntry("casefold");          // no ";": keeps its text, value appended
    options.SetOption("case", "no");
    EXPECT_EQ(options.Entries(), std::vector<std::string>{"casefold;no"});
    options.SetOption("case", "yes");
    EXPECT_EQ(options.Entries(), std::vector<std::string>{"casefold;yes"});
    EXPECT_FALSE(options.IsInForce("case")); // "yes" is not in force
    options.SetOption("case", "Yes");
    EXPECT_TRUE(options.IsInForce("case"));  // only the exact "yes" is

    options.SetOption("indent", "no");
    EXPECT_EQ(options.Entries().back(), "indent;no");
    EXPECT_EQ(options.GetOption("indent"), "no");

    COptionList bare;
    bare.AddEntry("");
    bare.AddEntry("indent");
    EXPECT_EQ(bare.GetOption("indent"), "");
    EXPECT_FALSE(bare.IsInForce("indent"));
}

TEST(DiffNormalizeLine, IndentDropsOnlyLeadingBlanksAndKeepsBlankLinesWhole)
{
    const COptionList indent = Options(false, true);
    EXPECT_EQ(NormalizeLine("    x = 1", indent), "x = 1");
    EXPECT_EQ(NormalizeLine("\t \tx = 1  ", indent), "x = 1  ");
    EXPECT_EQ(NormalizeLine("    ", indent), "    ");
    EXPECT_EQ(NormalizeLine("", indent), "");
    EXPECT_EQ(NormalizeLine("\vx", indent), "\vx"); // no other white space counts
    EXPECT_EQ(NormalizeLine("  ABC", Options(true, false)), "  abc");
    EXPECT_EQ(NormalizeLine("  ABC", COptionList()), "  ABC");
    EXPECT_EQ(NormalizeLine("\xc3\x84X", Options(true, false)), "\xc3\x84x"); // UTF-8 untouched
}

TEST(DiffLineHash, SignedBytesAndWrapAround)
{
    EXPECT_EQ(LineHash(""), 0);
    EXPECT_EQ(LineHash("ab"), 97 * 3 + 98);
    EXPECT_EQ(LineHash("\xff"), -1);
    EXPECT_EQ(LineHash("a\x80"), 97 * 3 - 128);
    // 21 bytes of 'z' overflow 32 bits; the result is the wrapped value.
    uint32_t h = 0;
    for (int i = 0; i < 21; ++i)
        h = h * 3 + 'z';
    EXPECT_EQ(LineHash(std::string(21, 'z')), static_cast<int32_t>(h));
}

TEST(DiffFindLine, LinearAndIndexedAgreeOnStartAndMisses)
{
    const CFilePartition a = Partition({"x", "y"});
    const CFilePartition b = Partition({"y", "x", "y", "x"});
    for (const bool indexed : {false, true}) {
        auto find = [&](int x, int& start) {
            return indexed ? a.FindLine(x, b, start) : a.FindLineLinear(x, b, start);
        };
        int start = 0;
        EXPECT_TRUE(find(0, start));
        EXPECT_EQ(start, 1);
        start = 2;
        EXPECT_TRUE(find(0, start));
        EXPECT_EQ(start, 3);
        start = 4;
        EXPECT_FALSE(find(0, start));
        EXPECT_EQ(start, 4); // left unchanged on a miss
        start = 0;
        EXPECT_FALSE(find(2, start)); // beyond this side's lines
    }
    CFilePartition output;
    output.AddLine("x", Unchanged); // output partitions have no hashes
    int start = 0;
    EXPECT_FALSE(a.FindLine(0, output, start));
    EXPECT_FALSE(output.FindLine(0, a, start));
}

TEST(DiffCompare, ExampleXABAgainstAAB)
{
    EXPECT_EQ(CompareRows({"X", "A", "B"}, {"A", "A", "B"}),
              (std::vector<std::string>{"X|3||0", "A|0|A|0", "|0|A|2", "B|0|B|0"}));
}

TEST(DiffCompare, EmptySides)
{
    EXPECT_TRUE(CompareRows({}, {}).empty());
    EXPECT_EQ(CompareRows({}, {"1", "2", "3"}),
              (std::vector<std::string>{"|0|1|2", "|0|2|2", "|0|3|2"}));
    EXPECT_EQ(CompareRows({"1", "2", "3"}, {}),
              (std::vector<std::string>{"1|3||0", "2|3||0", "3|3||0"}));
}

TEST(DiffCompare, ChangedLinesAndLookAhead)
{
    // Neither line occurs on the other side: changed side by side.
    EXPECT_EQ(CompareRows({"a", "b", "c"}, {"a", "B", "c"}),
              (std::vector<std::string>{"a|0|a|0", "b|1|B|1", "c|0|c|0"}));
    // Line i of A is further on in B, but line k of B comes sooner in A:
    // A's lines before it are deleted instead of B's being added.
    EXPECT_EQ(CompareRows({"p", "q", "r"}, {"q", "x", "y", "p"}),
              (std::vector<std::string>{"p|3||0", "q|0|q|0", "r|1|x|1", "|0|y|2", "|0|p|2"}));
    // The look-ahead compares the A position with the B position as they are.
    EXPECT_EQ(CompareRows({"p", "q", "r", "s", "t"}, {"q2", "p", "z", "t"}),
              (std::vector<std::string>{"|0|q2|2", "p|0|p|0", "q|1|z|1", "r|3||0", "s|3||0", "t|0|t|0"}));
    // Line k of B occurs in A only at or after the match in B: B's lines
    // before the match are added, and A's line matches.
    EXPECT_EQ(CompareRows({"a", "x", "y", "z", "b"}, {"b", "a"}),
              (std::vector<std::string>{"|0|b|2", "a|0|a|0", "x|3||0", "y|3||0", "z|3||0", "b|3||0"}));
}

TEST(DiffCompare, IndentAndCaseOptions)
{
    EXPECT_EQ(CompareRows({"    x = 1"}, {"x = 1"}, Options(false, true)),
              (std::vector<std::string>{"    x = 1|0|x = 1|0"}));
    EXPECT_EQ(CompareRows({"    "}, {""}, Options(false, true)),
              (std::vector<std::string>{"    |1||1"}));
    EXPECT_EQ(CompareRows({"ABC"}, {"abc"}, Options(true, false)),
              (std::vector<std::string>{"ABC|0|abc|0"}));
    EXPECT_EQ(CompareRows({"ABC"}, {"abc"}), (std::vector<std::string>{"ABC|1|abc|1"}));
    EXPECT_EQ(CompareRows({"  ABC"}, {"abc"}, Options(true, true)),
              (std::vector<std::string>{"  ABC|0|abc|0"}));
}

TEST(DiffCompare, HashCollisionIsNotEquality)
{
    ASSERT_EQ(LineHash("ad"), LineHash("ba"));
    EXPECT_EQ(CompareRows({"ad"}, {"ba"}), (std::vector<std::string>{"ad|1|ba|1"}));
    EXPECT_EQ(CompareRows({"ad", "k"}, {"ba", "ad", "k"}),
              (std::vector<std::string>{"|0|ba|2", "ad|0|ad|0", "k|0|k|0"}));
}

TEST(DiffCountRuns, RunsEndAtUnchangedAndAtAnotherStatus)
{
    CFilePartition p;
    for (LineStatus s : {Changed, Changed, Deleted, Unchanged, Deleted, Added, Added, Unchanged, Changed})
        p.AddLine("x", s);
    int added = -1, changed = -1, deleted = -1;
    p.CountRuns(added, changed, deleted);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(deleted, 2);
}

// The indexed search must give the very alignment of the linear scan.
TEST(DiffCompare, IndexedMatchesLinearOnRandomInputs)
{
    std::mt19937 random(20261207);
    // Few distinct lines so that repeats, moves and collisions ("ad"/"ba") abound.
    const std::vector<std::string> alphabet = {"ad", "ba", "x", "X", "  x", "\tx", "", "  ", "y", "Ad"};
    for (int round = 0; round < 5000; ++round) {
        auto randomLines = [&] {
            std::vector<std::string> lines(random() % 12);
            for (std::string& line : lines)
                line = alphabet[random() % alphabet.size()];
            return lines;
        };
        const std::vector<std::string> a = randomLines();
        const std::vector<std::string> b = randomLines();
        const COptionList options = Options(random() % 2, random() % 2);
        const CFilePartition first = Partition(a, options);
        const CFilePartition second = Partition(b, options);
        CFilePartition l1, r1, l2, r2;
        CFilePartition::Compare(first, second, l1, r1, CFilePartition::Search::Indexed);
        CFilePartition::Compare(first, second, l2, r2, CFilePartition::Search::Linear);
        ASSERT_EQ(Rows(l1, r1), Rows(l2, r2)) << "round " << round;

        // Dropping the filler rows gives back each side's lines in order.
        std::vector<std::string> backA, backB;
        for (int i = 0; i < l1.GetLineCount(); ++i) {
            if (r1.GetLineStatus(i) != Added)
                backA.push_back(l1.GetLineText(i));
            if (l1.GetLineStatus(i) != Deleted)
                backB.push_back(r1.GetLineText(i));
            if (l1.GetLineStatus(i) == Unchanged && r1.GetLineStatus(i) == Unchanged) {
                ASSERT_EQ(NormalizeLine(l1.GetLineText(i), options), NormalizeLine(r1.GetLineText(i), options));
            }
        }
        ASSERT_EQ(backA, a);
        ASSERT_EQ(backB, b);
    }
}
