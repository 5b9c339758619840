//! @file test_tessel_generate.cpp
//! @brief tessel-generate run for real: upgrades that rewrite only versions and kinds, step
//! markers around each file, catalog-driven failures, the output layout of both family-test
//! outcomes as the project library reads it, conversion of variations, and the error hook.
#include "share/generators/generator_test_support.h"

#include <acf/acf_settings_reader.h>

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

//! Assignments of a project revision as the project library reads them, with the IP lists
//! that generation wrote for its system files.
std::vector<ACF_MGR_INPUT_PARAMETERS> read_settings(const std::string& project_dir,
                                                    const std::string& settings)
{
    ACF_SETTINGS_READER reader(project_dir + "/");
    reader.read_settings_file(project_dir + "/" + settings);
    return reader.assignments();
}

const ACF_MGR_INPUT_PARAMETERS* find_assignment(const std::vector<ACF_MGR_INPUT_PARAMETERS>& assignments,
                                                const std::string& name, const std::string& entity = "")
{
    for (const auto& assignment : assignments)
        if (assignment.get_variable_name() == name && assignment.get_entity() == entity) return &assignment;
    return nullptr;
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

TEST_F(GeneratorTest, ParallelRunPrintsEachFilesStepAsOneBlock)
{
    std::vector<std::string> files;
    for (int i = 0; i < 6; ++i) {
        const std::string dir = "s" + std::to_string(i);
        files.push_back(copy(i % 3 == 2 ? "systems/refuses_upgrade.tessel" : "systems/soc.tessel", dir));
    }
    std::string command = tessel_generate() + " --upgrade-ip-cores --parallel=3 " + in_quotes(files[0]);
    for (std::size_t i = 1; i < files.size(); ++i)
        command += " --batch=" + in_quotes(files[i]);
    // A file named twice is worked on once: two workers never write the same file.
    command += " --batch=" + in_quotes(files[0]);
    const TOOL_RUN parallel = run(command + kUpgradeMarkerOptions);
    EXPECT_EQ(parallel.exit_code, 1);
    EXPECT_EQ(std::count(parallel.lines.begin(), parallel.lines.end(), begin_upgrade_marker(files[0])), 1);
    EXPECT_EQ(parallel.count_prefix("Warning: "), 1u) << parallel.text();
    for (const std::string& file : files) {
        const auto begin =
            std::find(parallel.lines.begin(), parallel.lines.end(), begin_upgrade_marker(file));
        const auto end = std::find(parallel.lines.begin(), parallel.lines.end(), end_upgrade_marker(file));
        ASSERT_TRUE(begin < end && end != parallel.lines.end()) << parallel.text();
        for (auto line = begin + 1; line != end; ++line)
            EXPECT_EQ(line->rfind("Entered IP upgrade step", 0), std::string::npos) << parallel.text();
    }
    EXPECT_EQ(parallel.count_prefix("Error:"), 2u);
}

TEST_F(GeneratorTest, OutputLayoutFollowsTheProjectsFamilyAndTheProjectReadsTheList)
{
    for (const char* name : {"proj.vpf", "older.vsf", "newer.vsf"})
        copy(std::string("project/") + name);
    const std::string soc = copy("systems/soc.tessel", "ip");
    const std::string options =
        " --clear-output-directory --block-symbol-file --synthesis=VERILOG --simulation=VERILOG ";

    // Crest II: the older layout, synth/ and the list beside it.
    const TOOL_RUN older =
        run(tessel_generate() + options + "--vorlin-project=proj  --rev=older " + in_quotes(soc));
    ASSERT_EQ(older.exit_code, 0) << older.text();
    EXPECT_TRUE(std::filesystem::exists(work() + "/ip/soc/synth/soc.v"));
    EXPECT_TRUE(std::filesystem::exists(work() + "/ip/soc/simulation/soc.v"));
    EXPECT_TRUE(std::filesystem::exists(work() + "/ip/soc/soc.bsf"));
    EXPECT_TRUE(std::filesystem::exists(work() + "/ip/soc/soc.vip"));
    EXPECT_FALSE(std::filesystem::exists(work() + "/ip/soc/synthesis"));

    std::ofstream(work() + "/older.vsf", std::ios::app)
        << "set_global_assignment -name TESSEL_FILE ip/soc.tessel\n";
    const auto assignments = read_settings(work(), "older.vsf");
    const auto* hdl = find_assignment(assignments, "VERILOG_FILE");
    ASSERT_NE(hdl, nullptr);
    EXPECT_EQ(FIO_PATH(hdl->get_value_string()).flatten().fullpath(), work() + "/ip/soc/synth/soc.v");
    const auto* system = find_assignment(assignments, "IP_VARIATION_FILE");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(FIO_PATH(system->get_value_string()).flatten().fullpath(), soc);
    const auto* core = find_assignment(assignments, "IP_CORE_NAME", "pll_basic");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(core->get_library(), "pll_0");
    EXPECT_EQ(core->get_value_string(), "pll_basic");
    EXPECT_NE(find_assignment(assignments, "IP_GENERATION_MODE"), nullptr) << "one exported module";
    const auto* families = find_assignment(assignments, "IP_TARGET_FAMILIES");
    ASSERT_NE(families, nullptr);
    EXPECT_EQ(families->get_value_string(), "{Crest V}");

    // Crest V (a newer family), and no project at all: synthesis/ holds HDL and list. The
    // cleared output directory loses the older layout.
    for (const std::string& project : {std::string("--vorlin-project=proj --rev=newer "), std::string()}) {
        const TOOL_RUN newer =
            run(tessel_generate() + " --synthesis=VHDL --clear-output-directory " + project + in_quotes(soc));
        ASSERT_EQ(newer.exit_code, 0) << newer.text();
        EXPECT_TRUE(std::filesystem::exists(work() + "/ip/soc/synthesis/soc.vhd"));
        EXPECT_TRUE(std::filesystem::exists(work() + "/ip/soc/synthesis/soc.vip"));
        EXPECT_FALSE(std::filesystem::exists(work() + "/ip/soc/synth"));
        EXPECT_NE(
            read_text(work() + "/ip/soc/synthesis/soc.vip").find("VHDL_FILE [file join $vip_dir soc.vhd]"),
            std::string::npos);
    }
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

TEST_F(GeneratorTest, VariationBecomesAStandaloneSystemOfTheCatalogsKind)
{
    for (const char* name : {"proj.vpf", "older.vsf", "newer.vsf"})
        copy(std::string("project/") + name);
    const std::string counter = copy("variations/counter_var.v");
    const std::string ram = copy("variations/ram_var.vhd");
    const std::string counter_before = read_text(counter);

    const TOOL_RUN converted =
        run(tessel_generate() + " --upgrade-variation-file --vorlin-project=proj  --rev=newer " +
            in_quotes(counter) + kUpgradeMarkerOptions);
    ASSERT_EQ(converted.exit_code, 0) << converted.text();
    EXPECT_EQ(step_lines(converted, counter).size(), 1u);
    EXPECT_EQ(read_text(counter), counter_before) << "removing the variation is the caller's decision";
    const std::string system = read_text(work() + "/counter_var.tessel");
    EXPECT_NE(system.find("<module name=\"kv_counter_0\" kind=\"kv_counter\" version=\"24.1\" enabled=\"1\" "
                          "autoexport=\"1\">"),
              std::string::npos)
        << system;
    EXPECT_NE(system.find("<parameter name=\"deviceFamily\" value=\"Crest V\"/>"), std::string::npos)
        << system;
    EXPECT_NE(system.find("<parameter name=\"DATA_WIDTH\" value=\"8\"/>"), std::string::npos) << system;

    // Without a project the variation's own family is kept; a standalone card that matches
    // the wizard core gives the kind.
    const TOOL_RUN ram_run = run(tessel_generate() + " --upgrade-variation-file " + in_quotes(ram));
    ASSERT_EQ(ram_run.exit_code, 0) << ram_run.text();
    const std::string ram_system = read_text(work() + "/ram_var.tessel");
    EXPECT_NE(ram_system.find("kind=\"ram_2port\" version=\"24.2\""), std::string::npos) << ram_system;
    EXPECT_NE(ram_system.find("value=\"Ember II\""), std::string::npos) << ram_system;

    // The new system generates like any other.
    const TOOL_RUN generated =
        run(tessel_generate() + " --synthesis=VERILOG " + in_quotes(work() + "/ram_var.tessel"));
    EXPECT_EQ(generated.exit_code, 0) << generated.text();
    EXPECT_TRUE(std::filesystem::exists(work() + "/ram_var/synthesis/ram_var.v"));
}

// The error-line hook must leave the work done, so that the upgrade's restore is what puts
// the file back; the other hooks are exercised by the controller's failure cases.
TEST_F(GeneratorTest, ErrorLineHookReportsAnErrorAfterDoingTheWork)
{
    const std::string soc = copy("systems/soc.tessel");
    const std::string original = read_text(soc);
    SCOPED_ENV fault("VORLIN_TEST_GENERATOR_FAULT", "error-line-exit-0");
    const TOOL_RUN hooked =
        run(tessel_generate() + " --upgrade-ip-cores " + in_quotes(soc) + kUpgradeMarkerOptions);
    EXPECT_EQ(hooked.exit_code, 0);
    EXPECT_EQ(errors_in(step_lines(hooked, soc)), 1u) << hooked.text();
    EXPECT_NE(read_text(soc), original);
}

TEST_F(GeneratorTest, BadCallsExitWithUsageAndTouchNothing)
{
    const std::string soc = copy("systems/soc.tessel");
    const std::string original = read_text(soc);
    for (const std::string& arguments : std::vector<std::string>{
             " --upgrade-ip-cores --frobnicate " + in_quotes(soc), " --upgrade-ip-cores",
             " --synthesis=PASCAL " + in_quotes(soc), " --upgrade-ip-cores --parallel=0 " + in_quotes(soc),
             " " + in_quotes(soc), " --upgrade-ip-cores " + in_quotes(soc) + " second.tessel"}) {
        const TOOL_RUN bad = run(tessel_generate() + arguments);
        EXPECT_EQ(bad.exit_code, 2) << arguments;
        EXPECT_EQ(bad.count_prefix("Error: "), 1u) << bad.text();
    }
    EXPECT_EQ(read_text(soc), original);
}
