//! @file version_test.cpp
//! @brief IP version order, validity and the place of invalid versions in the order.
#include <ipcatalog/ipcatalog.h>
#include <ipcatalog/olt_string.h>

#include <gtest/gtest.h>

#include <algorithm>

TEST(IpVersion, ComparesNumberByNumber)
{
    EXPECT_LT(IPVX_VERSION("9.0"), IPVX_VERSION("24.1"));  // not text order
    EXPECT_LT(IPVX_VERSION("24.1"), IPVX_VERSION("24.1.2"));
    EXPECT_LT(IPVX_VERSION("24.1.2"), IPVX_VERSION("24.10"));
    EXPECT_EQ(IPVX_VERSION("24.1"), IPVX_VERSION("24.1.0"));
    EXPECT_EQ(IPVX_VERSION("024.01"), IPVX_VERSION("24.1"));
    EXPECT_EQ(IPVX_VERSION(" 23.1\r\n"), IPVX_VERSION("23.1"));
    EXPECT_EQ(IPVX_VERSION(" 23.1\r\n").to_string(), "23.1");
    EXPECT_GT(IPVX_VERSION("18446744073709551615"), IPVX_VERSION("18446744073709551614"));
}

TEST(IpVersion, TextThatIsNoVersionIsInvalidAndOldest)
{
    for (const char* text :
         std::initializer_list<const char*>{"", "N/A", "24.x", "1..2", ".1", "1.", "-1.0", "+1", "1.0 beta",
                                            "v24.1", "18446744073709551616", nullptr})
        EXPECT_FALSE(IPVX_VERSION(text).is_valid()) << (text ? text : "(null)");
    EXPECT_TRUE(IPVX_VERSION("0").is_valid());

    // Invalid versions sort below every valid one and equal each other, so sorting works.
    EXPECT_LT(IPVX_VERSION("N/A"), IPVX_VERSION("0"));
    EXPECT_EQ(IPVX_VERSION("N/A"), IPVX_VERSION(""));
    EXPECT_EQ(IPVX_VERSION(), IPVX_VERSION("garbage"));
    std::vector<IPVX_VERSION> versions{IPVX_VERSION("24.1"), IPVX_VERSION("junk"), IPVX_VERSION("9.0"),
                                       IPVX_VERSION(""), IPVX_VERSION("23.1.2")};
    std::sort(versions.begin(), versions.end());
    EXPECT_FALSE(versions[0].is_valid());
    EXPECT_FALSE(versions[1].is_valid());
    EXPECT_EQ(versions[2].to_string(), "9.0");
    EXPECT_EQ(versions[4].to_string(), "24.1");
}

// The other string helpers are used on every path through the catalog.
TEST(OltString, SimpleSplitKeepsEmptyPieces)
{
    EXPECT_EQ(OLT_STRING::simple_split("a\r\nb\n", "\r\n"), (std::vector<std::string>{"a", "", "b", ""}));
}
