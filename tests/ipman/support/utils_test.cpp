//! @file utils_test.cpp
//! @brief IPMAN_UTILS: splitting, suffixes, tool strings, file kinds, paths and settings.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cfg/cfg.h>
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

TEST(SplitString, AppendsAndCountsWhatTheVectorAlreadyHeld)
{
    TOKENS tokens{"kept"};
    EXPECT_EQ(IPMAN_UTILS::split_string("", ";", tokens, true), 1);
    EXPECT_EQ(IPMAN_UTILS::split_string("a;b", ";", tokens, false), 3);
    EXPECT_EQ(tokens, (TOKENS{"kept", "a", "b"}));
}

TEST(EndsWith, ComparesBytesAtTheEnd)
{
    EXPECT_TRUE(IPMAN_UTILS::ends_with("fifo.v.BAK", ".BAK"));
    EXPECT_FALSE(IPMAN_UTILS::ends_with("fifo.v.bak", ".BAK"));
    EXPECT_FALSE(IPMAN_UTILS::ends_with("AK", ".BAK"));
    EXPECT_TRUE(IPMAN_UTILS::ends_with("", ""));
    EXPECT_TRUE(IPMAN_UTILS::ends_with("x", ""));
}

TEST(ToolStrings, ExactAndCaseSensitive)
{
    EXPECT_TRUE(IPMAN_UTILS::is_pro_tool_string("TesselCrestPro"));
    EXPECT_TRUE(IPMAN_UTILS::is_pro_tool_string("Gridwright"));
    EXPECT_FALSE(IPMAN_UTILS::is_pro_tool_string("TesselPro"));
    EXPECT_FALSE(IPMAN_UTILS::is_pro_tool_string("Tessel"));
    EXPECT_TRUE(IPMAN_UTILS::is_tessel_tool_string("Tessel"));
    EXPECT_TRUE(IPMAN_UTILS::is_tessel_tool_string("Gridwright"));
    EXPECT_FALSE(IPMAN_UTILS::is_tessel_tool_string("tessel"));
    EXPECT_FALSE(IPMAN_UTILS::is_tessel_tool_string("TesselSA"));
}

TEST(FileKinds, DecidedByExtension)
{
    EXPECT_TRUE(IPMAN_UTILS::is_tessel_file("/p/sys.tessel"));
    EXPECT_TRUE(IPMAN_UTILS::is_tessel_file("rel/SYS.TESSEL"));
    EXPECT_FALSE(IPMAN_UTILS::is_tessel_file("/p/sys.tessel.BAK"));
    EXPECT_TRUE(IPMAN_UTILS::is_gwip_file("/p/pll.gwip"));
    EXPECT_TRUE(IPMAN_UTILS::is_vip_file("/p/fifo/fifo.vip"));
    EXPECT_FALSE(IPMAN_UTILS::is_vip_file("/p/vip"));
    EXPECT_TRUE(IPMAN_UTILS::is_tessel_editable_file("/p/sys.tessel"));
    EXPECT_TRUE(IPMAN_UTILS::is_tessel_editable_file("/p/pll.gwip"));
    EXPECT_FALSE(IPMAN_UTILS::is_tessel_editable_file("/p/fifo.v"));
    EXPECT_FALSE(IPMAN_UTILS::is_tessel_editable_file(""));
}

TEST(AdjustPath, AbsoluteAndFlat)
{
    EXPECT_EQ(IPMAN_UTILS::adjust_path("/p/ip/../sys/./a.v"), "/p/sys/a.v");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(IPMAN_UTILS::adjust_path("sub/a.v"), std::string(cwd) + "/sub/a.v");
}

TEST(UserSettings, ParallelGenerationValuesAsStored)
{
    cfg_set_value("parallel_ip_generation", "On");
    cfg_set_value("num_parallel_processors", "ALL");
    EXPECT_EQ(IPMAN_UTILS::get_user_ini_parallel_ip_regen_enabled_setting(), "On");
    EXPECT_EQ(IPMAN_UTILS::get_user_ini_num_processors_setting(), "all");
    cfg_set_value("parallel_ip_generation", "");
    cfg_set_value("num_parallel_processors", "");
    EXPECT_EQ(IPMAN_UTILS::get_user_ini_parallel_ip_regen_enabled_setting(), "");
}
