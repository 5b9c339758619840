//! @file design_instances_test.cpp
//! @brief Records found in the design merged into the top-level variations.
#include "manager/ipman_design_instances.h"

#include <gtest/gtest.h>

namespace {

IPMAN_IP_INFO record(const std::string& entity, const std::string& generation_file,
                     const std::string& source_file, const std::string& path = "")
{
    IPMAN_IP_INFO info;
    info.entity(entity);
    info.ip_generation_file(generation_file);
    info.source_file(source_file);
    if (!path.empty()) info.instance_paths.insert(path);
    return info;
}

}  // namespace

TEST(DesignInstances, PathsJoinTheirVariationAndProtectedIpIsListedOnce)
{
    std::vector<IPMAN_IP_INFO> table = {record("core", "/p/core.v", "/p/core.vip"),
                                        record("sec", "/p/sec.v", "/p/sec.vip")};
    IPMAN_IP_INFO sub_ip = record("fifo", "/p/core.v", "/p/core.vip", "top|u_core|u_fifo");
    sub_ip.parent_entity("core");
    const std::vector<IPMAN_IP_INFO> found = {
        record("core", "/p/core.v", "/p/core.vip", "top|u_core"),
        sub_ip,
        record("sec", "", "/p/sec.v", "top|u_sec"),    // protected, the project lists it
        record("pll", "", "/p/pll.v", "top|u_pll_a"),  // protected, only the design shows it
        record("pll", "", "/p/pll.v", "top|u_pll_b"),
        record("core", "/p/other/core.v", "/p/x.vip", "top|u_x")};  // same entity, other variation
    ipman_merge_design_instances(table, found);

    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[0].instance_paths, std::set<std::string>{"top|u_core"});
    EXPECT_EQ(table[1].instance_paths, std::set<std::string>{"top|u_sec"});
    EXPECT_EQ(table[2].entity(), "pll");
    EXPECT_EQ(table[2].instance_paths, (std::set<std::string>{"top|u_pll_a", "top|u_pll_b"}));
    EXPECT_EQ(table[3].ip_generation_file(), "/p/other/core.v");
}
