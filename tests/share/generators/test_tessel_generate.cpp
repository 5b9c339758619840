//! @file test_tessel_generate.cpp
//! @brief tessel-generate run for real: upgrades that rewrite only versions and kinds, step
//! markers around each file, and failures that keep what was there.
#include "share/generators/generator_test_support.h"

namespace {

//! The lines between a file's begin and end marker; fails the test when they are missing.
std::vector<std::string> step_lines(const TOOL_RUN& run, const std::string& file)
{
    const auto begin = std::find(run.lines.begin(), run.lines.end(), begin_upgrade_marker(file));
    const auto end = std::find(run.lines.begin(), run.lines.end(), end_upgrade_marker(file));
    EXPECT_TRUE(begin != run.lines.end() && end != run.lines.end() && begin < end) << run.text();
    if (begin == run.lines.end() || end == run.lines.end() || end < begin) return {};
    return std::vector<std::string>(begin + 1, end);
}

std::size_t errors_in(const std::vector<std::string>& lines)
{
    return std::count_if(lines.begin(), lines.end(),
                         [](const std::string& line) { return line.find("Error:") != std::string::npos; });
}

}  // namespace

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

TEST_F(GeneratorTest, BatchMarkersSurroundEachFileAndKeepItsErrorsInside)
{
    // Awkward directory names reach the generator intact through the quoted command line.
    const std::string dir = "it's a $dir; `x` & (y)";
    const std::string soc = copy("systems/soc.tessel", dir);
    const std::string refusing = copy("systems/refuses_upgrade.tessel", dir);
    const std::string missing = work() + "/" + dir + "/missing.tessel";
    const std::string refusing_before = read_text(refusing);

    const TOOL_RUN batch = run(tessel_generate() + " --upgrade-ip-cores  " + in_quotes(soc) +
                               "  --batch=" + in_quotes(refusing) + "  --batch=" + in_quotes(missing) + " " +
                               kUpgradeMarkerOptions);
    EXPECT_EQ(batch.exit_code, 1) << batch.text();
    EXPECT_EQ(errors_in(step_lines(batch, soc)), 0u);
    EXPECT_EQ(errors_in(step_lines(batch, refusing)), 1u);
    EXPECT_EQ(errors_in(step_lines(batch, missing)), 1u);
    EXPECT_EQ(errors_in(batch.lines), 2u) << "every error line is attributed to a file";
    // The failing file is left whole; the others are still upgraded.
    EXPECT_EQ(read_text(refusing), refusing_before);
    EXPECT_EQ(read_text(soc), read_text(data_dir() + "/systems/soc.upgraded.tessel"));
}

TEST_F(GeneratorTest, FailedGenerationKeepsTheEarlierOutputs)
{
    const std::string system = copy("systems/refuses_generation.tessel");
    std::filesystem::create_directories(work() + "/refuses_generation/synthesis");
    const std::string kept = m_work.write("refuses_generation/synthesis/refuses_generation.v", "earlier\n");

    const TOOL_RUN failed =
        run(tessel_generate() + " --clear-output-directory --synthesis=VERILOG " + in_quotes(system));
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_EQ(failed.count_prefix("Error: Module buffer_0: generating clock_buffer"), 1u) << failed.text();
    EXPECT_EQ(read_text(kept), "earlier\n");
    EXPECT_FALSE(std::filesystem::exists(work() + "/refuses_generation/synthesis/refuses_generation.vip"));
}
