//! @file collector_lists_test.cpp
//! @brief Grouping nested IP lists: folding under a complete core, no folding without a
//! tool name, cycles with and without a root, and how the main entity is chosen.
#include "collector_test_support.h"

using namespace collector_test;

namespace {

class COLLECTOR_LISTS_TEST : public COLLECTOR_TEST {
protected:
    void SetUp() override
    {
        COLLECTOR_TEST::SetUp();
        open_project("disc_lists");
        collect();
    }
};

using LINES = std::vector<std::string>;

} // namespace

TEST_F(COLLECTOR_LISTS_TEST, FoldedListsLeaveNoRecordOfTheirOwn)
{
    EXPECT_EQ(keys(), (LINES{"ip/outer.vip", "ip/version_only.vip", "ip/child.vip", "ip/cycle_a.vip",
                             "ip/cycle_b.vip", "ip/looping.vip", "ip/anonymous.vip", "ip/picked.vip",
                             "ip/renamed.vip"}));
}

TEST_F(COLLECTOR_LISTS_TEST, CompleteCoreFoldsItsListsBottomUp)
{
    const IPMAN_COLLECTED_IP* r = record("ip/outer.vip");
    ASSERT_NE(r, nullptr);
    // middle names no core of its own but folds leaf because outer folds it. Assignments
    // without -entity belong to the list they were read from (leaf), not to outer.
    EXPECT_EQ(describe(r->entities), (LINES{"outer||fifo_buffer|23.1||Oltran|", "middle||||||middle_top",
                                            "leaf|leaf_lib|ram_2port|22.1|||", "leaf||||leaf_tool||"}));
    EXPECT_EQ(r->base_name, "outer");
    EXPECT_EQ(r->core_name, "fifo_buffer");
    EXPECT_EQ(r->core_version, "23.1");
    EXPECT_EQ(r->language, IPMAN_RTL_VERILOG);
    EXPECT_EQ(r->kind, IPMAN_COLLECTED_IP_KIND::UNCLASSIFIED);
    EXPECT_EQ(r->entity_index.at("leaf##leaf_lib"), 2u);
    EXPECT_EQ(r->entity_index.at("leaf"), 3u);
}

TEST_F(COLLECTOR_LISTS_TEST, VersionWithoutToolNameDoesNotFold)
{
    const IPMAN_COLLECTED_IP* parent = record("ip/version_only.vip");
    const IPMAN_COLLECTED_IP* child = record("ip/child.vip");
    ASSERT_NE(parent, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(describe(parent->entities), (LINES{"version_only|||23.1|||"}));
    EXPECT_EQ(parent->core_name, "");
    EXPECT_EQ(parent->core_version, "23.1");
    EXPECT_EQ(describe(child->entities), (LINES{"child||rom_1port|24.1|||"}));
}

TEST_F(COLLECTOR_LISTS_TEST, CycleWithoutRootIsNotFolded)
{
    const IPMAN_COLLECTED_IP* a = record("ip/cycle_a.vip");
    const IPMAN_COLLECTED_IP* b = record("ip/cycle_b.vip");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(describe(a->entities), (LINES{"cycle_a||nco|23.1|||"}));
    EXPECT_EQ(describe(b->entities), (LINES{"cycle_b||fft_engine|23.1|||"}));
}

TEST_F(COLLECTOR_LISTS_TEST, CycleBelowARootFoldsOnceAndEnds)
{
    const IPMAN_COLLECTED_IP* r = record("ip/looping.vip");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(describe(r->entities),
              (LINES{"looping||spi_master|23.1|||", "loop_x||uart_tiny||||", "loop_y||pll_basic||||"}));
}

TEST_F(COLLECTOR_LISTS_TEST, ChoosingTheMainEntity)
{
    // Without -entity the entity is named after the list.
    const IPMAN_COLLECTED_IP* anonymous = record("ip/anonymous.vip");
    ASSERT_NE(anonymous, nullptr);
    EXPECT_EQ(describe(anonymous->entities), (LINES{"anonymous||clock_pll|23.1||Oltran|"}));
    EXPECT_EQ(anonymous->base_name, "anonymous");
    EXPECT_EQ(anonymous->core_name, "clock_pll");

    // The entity named after the list is the main one wherever it appears.
    const IPMAN_COLLECTED_IP* picked = record("ip/picked.vip");
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->core_name, "fir_filter");
    EXPECT_EQ(picked->core_version, "23.1");
    EXPECT_EQ(picked->base_name, "picked");

    // Otherwise the first entity is, and the record takes its name.
    const IPMAN_COLLECTED_IP* renamed = record("ip/renamed.vip");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->base_name, "real_name");
    EXPECT_EQ(renamed->core_name, "nco");
    EXPECT_EQ(renamed->core_version, "22.1");
    EXPECT_EQ(renamed->key, "ip/renamed.vip");
}
