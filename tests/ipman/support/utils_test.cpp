//! @file utils_test.cpp
//! @brief IPMAN_UTILS: splitting, suffixes and paths.

#include <gtest/gtest.h>

#include <unistd.h>

#include <ipman/ipman_utils.h>

namespace {

std::vector<std::string> split(const std::string& text, const std::string& delimiter, bool keep_empty)
{
    std::vector<std::string> tokens;
    IPMAN_UTILS::split_string(text, delimiter, tokens, keep_empty);
    return tokens;
}

using TOKENS = std::vector<std::string>;

}  // namespace

TEST(SplitString, EmptyPiecesOnlyOnRequestAndNeverAfterATrailingDelimiter)
{
    EXPECT_EQ(split("a,,b", ",", false), (TOKENS{"a", "b"}));
    EXPECT_EQ(split("a,,b", ",", true), (TOKENS{"a", "", "b"}));
    EXPECT_EQ(split("a,b,", ",", true), (TOKENS{"a", "b"}));
    EXPECT_EQ(split(",a", ",", true), (TOKENS{"", "a"}));
    EXPECT_EQ(split("x::y", "::", false), (TOKENS{"x", "y"}));
    EXPECT_EQ(split("x:y", "::", false), (TOKENS{"x:y"}));
}

TEST(SplitString, AnEmptyDelimiterKeepsTheTextWholeInsteadOfLooping)
{
    EXPECT_EQ(split("a,b", "", true), (TOKENS{"a,b"}));
    EXPECT_EQ(split("", "", true), TOKENS{});
}

TEST(EndsWith, ComparesBytesAtTheEnd)
{
    EXPECT_TRUE(IPMAN_UTILS::ends_with("fifo.v.BAK", ".BAK"));
    EXPECT_FALSE(IPMAN_UTILS::ends_with("fifo.v.bak", ".BAK"));
    EXPECT_FALSE(IPMAN_UTILS::ends_with("AK", ".BAK"));
    EXPECT_TRUE(IPMAN_UTILS::ends_with("x", ""));
}

TEST(AdjustPath, AbsoluteAndFlat)
{
    EXPECT_EQ(IPMAN_UTILS::adjust_path("/p/ip/../sys/./a.v"), "/p/sys/a.v");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(IPMAN_UTILS::adjust_path("sub/a.v"), std::string(cwd) + "/sub/a.v");
}
