//! @file ip_info_test.cpp
//! @brief IPMAN_IP_INFO: validity, display name, identity, the silent-upgrade predicate and the
//! text forms of values outside the enumerations.

#include <gtest/gtest.h>

#include <ipman/ipman_ip_info.h>

TEST(IpInfo, ValidityNeedsAllThreeNamesUnknownAndNoInstance)
{
    IPMAN_IP_INFO info;
    EXPECT_TRUE(info.is_valid()) << "an empty generation file is not \"N/A\"";
    info.ip_generation_file("N/A");
    EXPECT_FALSE(info.is_valid());
    info.instance_paths.insert("top|u_fifo");
    EXPECT_TRUE(info.is_valid());
    info.instance_paths.clear();
    info.tool_name("n/a");
    EXPECT_TRUE(info.is_valid()) << "the comparison is case-sensitive";
}

TEST(IpInfo, DisplayNameOverrideAndSystemNames)
{
    IPMAN_IP_INFO info;
    info.tool_name("fir_filter");
    EXPECT_EQ(info.display_name(), "fir_filter");
    info.display_name("N/A");
    EXPECT_EQ(info.display_name(), "fir_filter") << "a stored \"N/A\" is ignored";
    info.display_name("FIR Filter");
    EXPECT_EQ(info.display_name(), "FIR Filter");

    info.display_name("");
    for (const char* tool : {"tessel", "TESSEL", "TesselCrestPro", "tesselcrestpro"}) {
        info.tool_name(tool);
        EXPECT_EQ(info.display_name(), "<Plandor>") << tool;
    }
    info.tool_name("gridWRIGHT");
    EXPECT_EQ(info.display_name(), "<System>");
    info.tool_name("TesselPro");
    EXPECT_EQ(info.display_name(), "TesselPro");
}

TEST(IpInfo, EqualityComparesIdentityOnly)
{
    IPMAN_IP_INFO a;
    a.tool_name("fifo");
    a.tool_version("24.1");
    a.entity("fifo_a");
    a.library("fifo_lib");
    a.ip_generation_file("/p/fifo_a.v");
    IPMAN_IP_INFO b = a;
    b.source_file("/p/other.v");
    b.regen_status(IPMAN_VERSION_OLD);
    b.parent_entity("top");
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);

    for (auto change :
         {+[](IPMAN_IP_INFO& r) { r.tool_name("FIFO"); }, +[](IPMAN_IP_INFO& r) { r.tool_version("24.1.0"); },
          +[](IPMAN_IP_INFO& r) { r.entity("fifo_b"); }, +[](IPMAN_IP_INFO& r) { r.library("fifo_lib "); },
          +[](IPMAN_IP_INFO& r) { r.ip_generation_file("/p/FIFO_A.v"); }}) {
        IPMAN_IP_INFO c = a;
        change(c);
        EXPECT_TRUE(a != c);
    }
}
