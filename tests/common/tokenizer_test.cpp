#include "common/ctokenizer.h"
#include "common/splitlist.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> AllTokens(CTokenizer& tokenizer)
{
    std::vector<std::string> tokens;
    while (tokenizer.HasMoreTokens())
        tokens.push_back(tokenizer.NextToken());
    return tokens;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator, bool keepEmpty)
{
    std::vector<std::string> out;
    SplitList(text, separator, out, keepEmpty);
    return out;
}

using Tokens = std::vector<std::string>;

}  // namespace

TEST(CTokenizerTest, SplitsAtEveryDelimiterCharacter)
{
    CTokenizer tokenizer("c|cc|cpp", "|");
    EXPECT_EQ(AllTokens(tokenizer), (Tokens{"c", "cc", "cpp"}));
    EXPECT_EQ(tokenizer.NextToken(), "");

    tokenizer.SetText("a||b");
    EXPECT_EQ(AllTokens(tokenizer), (Tokens{"a", "", "b"}));
    tokenizer.SetText("a|");
    EXPECT_EQ(AllTokens(tokenizer), (Tokens{"a"}));
    tokenizer.SetText("|a");
    EXPECT_EQ(AllTokens(tokenizer), (Tokens{"", "a"}));
    tokenizer.SetText("");
    EXPECT_FALSE(tokenizer.HasMoreTokens());

    CTokenizer several("a,b;c d", ",; ");
    EXPECT_EQ(AllTokens(several), (Tokens{"a", "b", "c", "d"}));
    CTokenizer none("abc", "");
    EXPECT_EQ(AllTokens(none), (Tokens{"abc"}));
}

TEST(CTokenizerTest, DelimitersChangeWithoutRewinding)
{
    CTokenizer tokenizer("a|b,c|d", "|");
    EXPECT_EQ(tokenizer.NextToken(), "a");
    tokenizer.SetDelimiters(",");
    EXPECT_EQ(tokenizer.NextToken(), "b");
    EXPECT_EQ(tokenizer.NextToken(), "c|d");
}

TEST(CTokenizerTest, QuotedAndTypedTokens)
{
    CTokenizer tokenizer("x \"a b\" ,next", ",");
    EXPECT_EQ(tokenizer.NextQuotedToken(), "a b");
    EXPECT_EQ(tokenizer.NextToken(), "next");
    tokenizer.SetText("no quotes");
    EXPECT_EQ(tokenizer.NextQuotedToken(), "");
    EXPECT_FALSE(tokenizer.HasMoreTokens());

    CTokenizer typed("42,-7,2.5,true,0,junk", ",");
    EXPECT_EQ(typed.NextIntToken(), 42);
    EXPECT_EQ(typed.NextIntToken(), -7);
    EXPECT_DOUBLE_EQ(typed.NextFloatToken(), 2.5);
    EXPECT_TRUE(typed.NextBoolToken());
    EXPECT_FALSE(typed.NextBoolToken());
    EXPECT_EQ(typed.NextIntToken(), 0);
}

TEST(SplitListTest, EmptyPiecesAndRemainder)
{
    EXPECT_EQ(Split("x,,y,", ",", false), (Tokens{"x", "y"}));
    EXPECT_EQ(Split("x,,y,", ",", true), (Tokens{"x", "", "y"}));
    EXPECT_EQ(Split(",x", "", true), (Tokens{"", "x"}));
    EXPECT_EQ(Split("", ",", true), (Tokens{}));
    EXPECT_EQ(Split("abc", ",", false), (Tokens{"abc"}));
    EXPECT_EQ(Split("a|;|b|;||;|c|;|", "|;|", true), (Tokens{"a", "b", "", "c"}));
    EXPECT_EQ(Split("a|b", "|;|", false), (Tokens{"a|b"}));

    std::vector<std::string> out{"kept"};
    SplitList("n", ",", out, false);
    EXPECT_EQ(out, (Tokens{"kept", "n"}));
}
