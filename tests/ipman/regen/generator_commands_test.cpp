//! @file generator_commands_test.cpp
//! @brief Generator command lines exactly as launched, and the paths that must reach a tool as
//! one literal word.
#include <gtest/gtest.h>

#include <acf/proj_project.h>
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
}

class GeneratorRuns : public ::testing::Test {
protected:
    SCRATCH_INSTALLATION m_install;
    TEMP_DIR m_work;
};

TEST_F(GeneratorRuns, EmptyPathsRunNothing)
{
    EXPECT_EQ(CMD::run_system_generator("", "--upgrade-ip-cores"), 1);
    EXPECT_EQ(CMD::run_legacy_wizard_silent(""), 1);
    EXPECT_TRUE(m_install.calls().empty());
}

// Names and paths with double quotes, backslashes or blanks add no argument of their own.
TEST_F(GeneratorRuns, EveryValueIsExactlyOneArgument)
{
    SCRATCH_PROJECT project("proj", "rev1", "");
    SWAPPED_PROJECT_OBJECT awkward("p\" --parallel=9 \"", "r\\\" x");
    const std::string file = m_work.file("a\"b \\\".tessel");
    EXPECT_EQ(CMD::run_system_generator(file, "--upgrade-ip-cores"), 0);
    EXPECT_EQ(m_install.calls(),
              (std::vector<ARGS>{
                  {"--upgrade-ip-cores", "--vorlin-project=p\" --parallel=9 \"", "--rev=r\\\" x", file}}));
}

TEST_F(GeneratorRuns, WizardGetsAnyPathAsOneLiteralWord)
{
    HOST_INTERPRETER host;
    const std::string file = m_work.file("x $env(HOME) [exit 3] \\n {b} ;} \"q\\\".v");
    EXPECT_EQ(CMD::run_legacy_wizard_silent(file), 0);
    EXPECT_EQ(m_install.calls(), (std::vector<ARGS>{{"-silent", file}}));
}

TEST(GeneratorRunsDeathTest, WizardWithoutInterpreterIsAnInternalError)
{
    EXPECT_EXIT(CMD::run_legacy_wizard_silent("/p/x.v"), ::testing::ExitedWithCode(3), "ip_regen_interp");
}
