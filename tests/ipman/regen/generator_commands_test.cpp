//! @file generator_commands_test.cpp
//! @brief Generator command lines exactly as launched, the family test, languages, paths
//! the runs produce, and the runs themselves against recording generators.
#include <gtest/gtest.h>

#include <acf/proj_project.h>
#include <atcl/atcl_eval.h>
#include <gen/gen.h>

#include "ipman/regen/regen_test_support.h"
#include "regen/ipman_generator_commands.h"
#include "support/host_interpreter.h"
#include "support/ipman_project.h"

using regen_test::SCRATCH_INSTALLATION;
using CMD = IPMAN_GENERATOR_COMMANDS;
using ARGS = std::vector<std::string>;

namespace {

std::string tool(const std::string& name)
{
    return gen_get_vorlin_path() + "gantry_builder/bin/" + name;
}

//! Puts another current project object in place for the life of the object.
class SWAPPED_PROJECT_OBJECT {
public:
    SWAPPED_PROJECT_OBJECT(const std::string& name, const std::string& revision)
        : m_object(name, "/p/", revision), m_saved(PROJ_PROJECT::m_current)
    {
        PROJ_PROJECT::m_current = &m_object;
    }
    ~SWAPPED_PROJECT_OBJECT() { PROJ_PROJECT::m_current = m_saved; }

private:
    PROJ_PROJECT m_object;
    PROJ_PROJECT* m_saved;
};

}  // namespace

TEST(GeneratorCommandLines, SystemGeneratorBaseFollowsTheOpenProject)
{
    EXPECT_EQ(CMD::system_generator_base("--upgrade-ip-cores"),
              tool("tessel-generate") + " --upgrade-ip-cores ");
    SCRATCH_PROJECT project("proj", "rev1", "");
    EXPECT_EQ(CMD::system_generator_base("--upgrade-ip-cores"),
              tool("tessel-generate") + " --upgrade-ip-cores --vorlin-project=proj  --rev=rev1 ");
    EXPECT_EQ(CMD::system_generator_command("/p/a b.tessel", "--upgrade-variation-file"),
              tool("tessel-generate") +
                  " --upgrade-variation-file --vorlin-project=proj  --rev=rev1 \"/p/a b.tessel\"");
    {
        SWAPPED_PROJECT_OBJECT blank_revision("proj", " ");
        EXPECT_EQ(CMD::system_generator_base("-x"), tool("tessel-generate") + " -x --vorlin-project=proj ");
    }
    {
        SWAPPED_PROJECT_OBJECT blank_name("", "rev1");
        EXPECT_EQ(CMD::system_generator_base("-x"), tool("tessel-generate") + " -x  --rev=rev1 ");
    }
    {
        SWAPPED_PROJECT_OBJECT blanks_inside("my proj", "rev 2");
        EXPECT_EQ(CMD::system_generator_base("-x"),
                  tool("tessel-generate") + " -x --vorlin-project=\"my proj\"  --rev=\"rev 2\" ");
    }
}

TEST(GeneratorCommandLines, DeploymentAndWizardCommands)
{
    EXPECT_EQ(CMD::deployment_command(" --component-name=fifo --output-name=/p/f.gwip"),
              tool("ip-deploy") + " --component-name=fifo --output-name=/p/f.gwip");
    EXPECT_EQ(CMD::legacy_wizard_command("/p/my var.v"), "vkelvane -silent \"/p/my var.v\"");
}

TEST(GeneratorCommandLines, SimulationOptionFollowsLanguageAndFilesets)
{
    const IPMAN_FILESET_SET none, verilog_sim{IPMAN_FILESET_SIM_VERILOG}, vhdl_sim{IPMAN_FILESET_SIM_VHDL};
    const std::string base = "--clear-output-directory --block-symbol-file ";
    EXPECT_EQ(CMD::generation_options(none, IPMAN_RTL_VHDL), base + "--synthesis=VHDL --simulation=VHDL");
    EXPECT_EQ(CMD::generation_options(verilog_sim, IPMAN_RTL_VHDL), base + "--synthesis=VHDL");
    EXPECT_EQ(CMD::generation_options(vhdl_sim, IPMAN_RTL_VERILOG), base + "--synthesis=VERILOG");
    EXPECT_EQ(CMD::generation_options(none, IPMAN_RTL_USE_PROJECT_SETTING),
              base + "--synthesis=VERILOG --simulation=VERILOG")
        << "no preference generates Verilog";

    EXPECT_EQ(CMD::batch_generation_group(vhdl_sim, IPMAN_RTL_VERILOG),
              IPMAN_BATCH_GEN_VERILOG_SYNTHESIS_ONLY);
    EXPECT_EQ(CMD::batch_generation_group(verilog_sim, IPMAN_RTL_VHDL), IPMAN_BATCH_GEN_VHDL_SYNTHESIS_ONLY);
    EXPECT_EQ(CMD::batch_generation_group(none, IPMAN_RTL_VHDL), IPMAN_BATCH_GEN_VHDL_WITH_SIMULATION);
}

TEST(GeneratorCommandLines, PreferredLanguageFromTheUserSettings)
{
    {
        SCRATCH_USER_SETTINGS settings("preferred_hdl_language = VHDL\n");
        EXPECT_EQ(CMD::effective_language(IPMAN_RTL_USE_PROJECT_SETTING), IPMAN_RTL_VHDL);
        EXPECT_EQ(CMD::effective_language(IPMAN_RTL_VERILOG), IPMAN_RTL_VERILOG);
        EXPECT_EQ(CMD::generation_options({}, IPMAN_RTL_USE_PROJECT_SETTING),
                  "--clear-output-directory --block-symbol-file --synthesis=VHDL --simulation=VHDL");
        EXPECT_EQ(CMD::batch_generation_group({}, IPMAN_RTL_USE_PROJECT_SETTING),
                  IPMAN_BATCH_GEN_VHDL_WITH_SIMULATION);
    }
    {
        SCRATCH_USER_SETTINGS settings("preferred_hdl_language = Verilog\n");
        EXPECT_EQ(CMD::effective_language(IPMAN_RTL_USE_PROJECT_SETTING), IPMAN_RTL_VERILOG);
        EXPECT_EQ(CMD::effective_language(IPMAN_RTL_VHDL), IPMAN_RTL_VHDL);
    }
    SCRATCH_USER_SETTINGS settings("preferred_hdl_language = vhdl\n");
    EXPECT_EQ(CMD::effective_language(IPMAN_RTL_USE_PROJECT_SETTING), IPMAN_RTL_USE_PROJECT_SETTING)
        << "only the exact spelling counts";
}

TEST(FamilyTest, HoldsWithoutProjectGenericFamilyOrTheNewLayoutTrait)
{
    EXPECT_TRUE(ipman_family_test_holds());
    EXPECT_TRUE(ipman_family_test_holds(static_cast<DEV_FAMILY_ENUM>(10))) << "no project open";
    {
        SCRATCH_PROJECT project("p", "r", "");
        EXPECT_TRUE(ipman_family_test_holds()) << "family unset";
        EXPECT_TRUE(ipman_family_test_holds(DEV_FAMILY_DEVICE_AGNOSTIC));
        EXPECT_TRUE(ipman_family_test_holds(DEV_FAMILY_NONE));
    }
    for (const auto& [family, holds] : std::vector<std::pair<std::string, bool>>{{"Crest V", true},
                                                                                 {"Ember IV", true},
                                                                                 {"Device Agnostic", true},
                                                                                 {"Crest II", false},
                                                                                 {"Cinder", false}}) {
        SCRATCH_PROJECT project("p", "r", family_setting(family));
        EXPECT_EQ(ipman_family_test_holds(), holds) << family;
    }
}

TEST(GeneratedPaths, IpListAndTopLevelFileForBothLayouts)
{
    EXPECT_EQ(ipman_generated_ip_list_path("/p/ip/", "sys", true), "/p/ip/sys/synthesis/sys.vip");
    EXPECT_EQ(ipman_generated_ip_list_path("/p/ip/", "sys", false), "/p/ip/sys/sys.vip");

    TEMP_DIR dir;
    const std::string system = dir.write("sys.tessel", "");
    std::filesystem::create_directories(dir.file("sys/synthesis"));
    std::filesystem::create_directories(dir.file("sys/synth"));
    EXPECT_EQ(CMD::top_level_file(system, true, IPMAN_RTL_VERILOG), "");
    const std::string new_v = dir.write("sys/synthesis/sys.v", "");
    const std::string old_vhd = dir.write("sys/synth/sys.vhd", "");
    EXPECT_EQ(CMD::top_level_file(system, true, IPMAN_RTL_VHDL), new_v) << "the other language as a fallback";
    EXPECT_EQ(CMD::top_level_file(system, false, IPMAN_RTL_VERILOG), old_vhd);
    const std::string new_vhd = dir.write("sys/synthesis/sys.vhd", "");
    EXPECT_EQ(CMD::top_level_file(system, true, IPMAN_RTL_VERILOG), new_v);
    EXPECT_EQ(CMD::top_level_file(system, true, IPMAN_RTL_VHDL), new_vhd);
    EXPECT_EQ(CMD::top_level_file(system, true, IPMAN_RTL_USE_PROJECT_SETTING), new_vhd)
        << "without a preference the VHDL file is tried first";
    EXPECT_EQ(CMD::top_level_file("", true, IPMAN_RTL_VERILOG), "");
}

class GeneratorRuns : public ::testing::Test {
protected:
    void SetUp() override { take_posted(); }
    SCRATCH_INSTALLATION m_install;
    TEMP_DIR m_work;
};

TEST_F(GeneratorRuns, EmptyOrUnquotablePathsRunNothing)
{
    EXPECT_EQ(CMD::run_system_generator("", "--upgrade-ip-cores"), 1);
    EXPECT_EQ(CMD::run_system_generator(m_work.file("a\"b.tessel"), "--upgrade-ip-cores"), 1);
    EXPECT_EQ(CMD::run_legacy_wizard_silent(""), 1);
    EXPECT_TRUE(m_install.calls().empty());
    EXPECT_EQ(take_posted().size(), 1u) << "the path with a double quote is refused with a message";
}

TEST_F(GeneratorRuns, GenerationPassesThePathAsOneArgument)
{
    const std::string system = m_work.write("my ip/sys.tessel", "");
    SCOPED_ENV layout("FAKE_LAYOUT", "synth");
    EXPECT_EQ(CMD::run_generation(system, {IPMAN_FILESET_SIM_VERILOG}, IPMAN_RTL_VHDL), 0);
    EXPECT_EQ(m_install.calls(), (std::vector<ARGS>{{"--clear-output-directory", "--block-symbol-file",
                                                     "--synthesis=VHDL", system}}));
    EXPECT_TRUE(std::filesystem::exists(m_work.file("my ip/sys/synth/sys.vhd")));
}

TEST_F(GeneratorRuns, SystemFileUpgradeRequiresItsIpList)
{
    const std::string system = m_work.write("sys.tessel", "");
    std::string ip_list;
    EXPECT_EQ(CMD::upgrade_system_file_to_ip_list(system, {}, ip_list, IPMAN_RTL_VERILOG, true), 0);
    EXPECT_EQ(ip_list, m_work.file("sys/synthesis/sys.vip"));
    ASSERT_EQ(m_install.calls().size(), 2u);
    EXPECT_EQ(m_install.calls()[0], (ARGS{"--upgrade-ip-cores", system}));

    // The older layout looks for the list elsewhere; a list the generator did not write fails.
    EXPECT_EQ(CMD::upgrade_system_file_to_ip_list(system, {}, ip_list, IPMAN_RTL_VERILOG, false), 1);
    EXPECT_EQ(ip_list, m_work.file("sys/sys.vip"));

    SCOPED_ENV fail("FAKE_FAIL", "upgrade");
    EXPECT_EQ(CMD::upgrade_system_file_to_ip_list(system, {}, ip_list, IPMAN_RTL_VERILOG, true), 1);
    EXPECT_EQ(m_install.calls().size(), 5u) << "no generation after a failed upgrade";
}

TEST_F(GeneratorRuns, VariationConversionReplacesTheVariationFile)
{
    SCOPED_ENV layout("FAKE_LAYOUT", "synth");
    const std::string variation = m_work.write("fifo.v", "// variation");
    std::string output;
    EXPECT_EQ(CMD::convert_variation_to_system(variation, false, {}, output, IPMAN_RTL_VERILOG, false), 0);
    EXPECT_EQ(output, m_work.file("fifo.tessel"));
    EXPECT_FALSE(std::filesystem::exists(variation));
    EXPECT_EQ(m_install.calls().back(),
              (ARGS{"--clear-output-directory", "--block-symbol-file", "--synthesis=VERILOG",
                    "--simulation=VERILOG", m_work.file("fifo.tessel")}));

    m_work.write("fifo.v", "// variation");
    EXPECT_EQ(CMD::convert_variation_to_system(variation, true, {}, output, IPMAN_RTL_VERILOG, false), 0);
    EXPECT_EQ(output, m_work.file("fifo/fifo.vip"));
}

TEST_F(GeneratorRuns, WizardGetsAnyPathAsOneLiteralWord)
{
    HOST_INTERPRETER host;
    const std::string file = m_work.file("x $env(HOME) [exit 3] \\n {b} ;}.v");
    EXPECT_EQ(CMD::run_legacy_wizard_silent(file), 0);
    EXPECT_EQ(m_install.calls(), (std::vector<ARGS>{{"-silent", file}}));

    SCOPED_ENV fail("FAKE_FAIL", "wizard");
    EXPECT_NE(CMD::run_legacy_wizard_silent(file), 0);
    const auto posted = take_posted();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back().first, "EIPMAN_EXT_PROC_ERROR_MSG");
    EXPECT_NE(posted.back().second.find("ERROR: vkelvane failed"), std::string::npos) << posted.back().second;
}

TEST(GeneratorRunsDeathTest, WizardWithoutInterpreterIsAnInternalError)
{
    EXPECT_EXIT(CMD::run_legacy_wizard_silent("/p/x.v"), ::testing::ExitedWithCode(3), "ip_regen_interp");
}

TEST(TclWordEvaluation, EveryWordStaysLiteral)
{
    HOST_INTERPRETER host;
    const std::string awkward = "$env(HOME) [exit 3] \\ \" { } ;";
    std::string result;
    EXPECT_EQ(atcl_global_eval_words({"string", "cat", awkward}, &result), TCL_OK);
    EXPECT_EQ(result, awkward);
    EXPECT_EQ(atcl_global_eval_words({"set", "::seen", "a b"}, nullptr), TCL_OK);
    EXPECT_STREQ(Tcl_GetVar(host.get(), "::seen", TCL_GLOBAL_ONLY), "a b");
    EXPECT_EQ(atcl_global_eval_words({"no_such_command"}, &result), TCL_ERROR);
    EXPECT_NE(result.find("no_such_command"), std::string::npos);
}

TEST(TclWordEvaluation, NoInterpreter)
{
    std::string result;
    EXPECT_FALSE(atcl_host_interpreter_exists());
    EXPECT_EQ(atcl_global_eval_words({"string", "cat", "x"}, &result), TCL_ERROR);
    EXPECT_EQ(result.rfind("ERROR: ", 0), 0u);
}
