//! @file collector_lists_test.cpp
//! @brief Grouping nested IP lists: folding under a complete core, no folding without a
//! tool name, cycles with and without a root, and how the main entity is chosen.
#include "ipman/discovery/collector_test_support.h"

using namespace collector_test;

namespace {

using LINES = std::vector<std::string>;

class COLLECTOR_LISTS_TEST : public COLLECTOR_TEST {
protected:
    void SetUp() override
    {
        COLLECTOR_TEST::SetUp();
        open_project("disc_lists");
        collect();
    }
};

}  // namespace

TEST_F(COLLECTOR_LISTS_TEST, OneRecordPerUnfoldedListWithItsMainEntitysIdentity)
{
    EXPECT_EQ(summaries(),
              (LINES{
                  // middle.vip and leaf.vip are folded into outer.vip and have no record.
                  "ip/outer.vip | unclassified outer |  |  | fifo_buffer 23.1 | verilog | ----- |  | ",
                  // A version without a tool name does not fold child.vip.
                  "ip/version_only.vip | unclassified version_only |  |  |  23.1 | - | ----- |  | ",
                  "ip/child.vip | unclassified child |  |  | rom_1port 24.1 | - | ----- |  | ",
                  // Two lists including each other have no root: neither folds.
                  "ip/cycle_a.vip | unclassified cycle_a |  |  | nco 23.1 | - | ----- |  | ",
                  "ip/cycle_b.vip | unclassified cycle_b |  |  | fft_engine 23.1 | - | ----- |  | ",
                  "ip/looping.vip | unclassified looping |  |  | spi_master 23.1 | - | ----- |  | ",
                  // Without -entity the entity is named after the list.
                  "ip/anonymous.vip | unclassified anonymous |  |  | clock_pll 23.1 | - | ----- |  | ",
                  // The entity named after the list is the main one, wherever it appears ...
                  "ip/picked.vip | unclassified picked |  |  | fir_filter 23.1 | - | ----- |  | ",
                  // ... else the first entity is, and the record takes its name.
                  "ip/renamed.vip | unclassified real_name |  |  | nco 22.1 | - | ----- |  | ",
              }));
}

TEST_F(COLLECTOR_LISTS_TEST, CompleteCoreFoldsItsListsBottomUp)
{
    // middle names no core but folds leaf because outer folds it. Assignments without
    // -entity belong to the list they were read from (leaf), not to outer.
    EXPECT_EQ(entities_of("ip/outer.vip"),
              (LINES{"outer||fifo_buffer|23.1||Oltran|", "middle||||||middle_top",
                     "leaf|leaf_lib|ram_2port|22.1|||", "leaf||||leaf_tool||"}));
    const IPMAN_COLLECTED_IP* outer = record("ip/outer.vip");
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->find_entity("leaf", "leaf_lib"), 2u);
    EXPECT_EQ(outer->find_entity("leaf", ""), 3u);
    EXPECT_EQ(outer->find_entity("leaf", "other"), IPMAN_COLLECTED_IP::npos);
    // A design instance found in a folded list belongs to the record it was folded into.
    for (const char* list : {"ip/leaf.vip", "ip/middle.vip", "ip/outer.vip"})
        EXPECT_EQ(m_collector.record_key_of_list(list), "ip/outer.vip") << list;
    EXPECT_EQ(m_collector.record_key_of_list("ip/cycle_b.vip"), "ip/cycle_b.vip");
}
