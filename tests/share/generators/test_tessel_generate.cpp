//! @file test_tessel_generate.cpp
//! @brief tessel-generate run for real: upgrades rewrite only versions and kinds. Its step
//! markers and failures are observed through the IP upgrade (controller_batch_test.cpp,
//! upgrade_faults.test).
#include "share/generators/generator_test_support.h"

TEST_F(GeneratorTest, UpgradeRaisesEnabledModulesAndKeepsEverythingElseByteForByte)
{
    const std::string soc = copy("systems/soc.tessel");
    const TOOL_RUN first = run(tessel_generate() + " --upgrade-ip-cores " + in_quotes(soc));
    EXPECT_EQ(first.exit_code, 0) << first.text();
    EXPECT_EQ(read_text(soc), read_text(data_dir() + "/systems/soc.upgraded.tessel"));
    EXPECT_TRUE(first.has_line("Info: Upgraded module cross from dc_fifo 20.1 to fifo_buffer 24.1"))
        << first.text();
    EXPECT_TRUE(first.has_line("Info: Upgraded module pll_0 from pll_basic 23.1 to clock_pll 24.1"))
        << first.text();
    EXPECT_EQ(first.count_prefix("Info: Upgraded module"), 3u) << first.text();
    EXPECT_EQ(first.count_prefix("Error:") + first.count_prefix("Warning:"), 0u);

    const TOOL_RUN second = run(tessel_generate() + " --upgrade-ip-cores " + in_quotes(soc));
    EXPECT_EQ(second.exit_code, 0);
    EXPECT_EQ(second.count_prefix("Info: Upgraded module"), 0u) << second.text();
    EXPECT_EQ(read_text(soc), read_text(data_dir() + "/systems/soc.upgraded.tessel"));
}
