// The ::vorlin::ipman package: definitions, the common prologue and registration in an
// interpreter; the shell's end-to-end tests cover the commands as users see them.
#include "tcl/ipman_tcl_args_auto.h"
#include "tcl/ipman_tcl_impl.h"

#include <acf/proj_project.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kNoProject = "ERROR: You must open a project before you can use this command.";

class IpmanInterpreter : public ::testing::Test {
protected:
    void SetUp() override
    {
        interp = Tcl_CreateInterp();
        ipman_register_tcl_in(interp);
    }
    void TearDown() override
    {
        PROJ_PROJECT::m_current = nullptr;
        Tcl_DeleteInterp(interp);
    }
    std::string eval(const std::string& script)
    {
        const int code = Tcl_Eval(interp, script.c_str());
        return std::to_string(code) + ": " + Tcl_GetStringResult(interp);
    }
    Tcl_Interp* interp = nullptr;
};

}  // namespace

TEST(IpmanDefinitions, CommandsBelongToThePackageAndAreBuiltOnce)
{
    for (int command = 0; command < IPMAN_TCL_IP_DEPLOY; ++command) {
        const ATCL_CMD_DEFINITION* definition =
            ipman_get_command_definition(static_cast<IPMAN_TCL_CMD_ENUM>(command));
        ASSERT_NE(definition, nullptr) << command;
        EXPECT_STREQ(definition->package_leaf, "ipman");
    }
    EXPECT_EQ(ipman_get_command_definition(IPMAN_TCL_IP_DEPLOY), nullptr) << "ip_deploy has no option table";
    const ATCL_CMD& first = ipman_get_command_object(IPMAN_TCL_FIND_IP_INFO);
    EXPECT_EQ(&ipman_get_command_object(IPMAN_TCL_FIND_IP_INFO), &first);
}

TEST_F(IpmanInterpreter, OptionErrorsComeBeforeTheProjectCheck)
{
    ASSERT_EQ(PROJ_PROJECT::m_current, nullptr);
    EXPECT_EQ(eval("::vorlin::ipman::get_ip_info_field -id 0 -field entity"),
              std::string("1: ") + kNoProject);
    EXPECT_EQ(eval("::vorlin::ipman::get_ip_info_field -id 0").rfind("1: ERROR: Missing required option", 0),
              0u);
}

TEST_F(IpmanInterpreter, OtherCommandsRunWithoutAProject)
{
    EXPECT_EQ(eval("::vorlin::ipman::find_ip_info -e top"), "0: ");
    EXPECT_EQ(eval("::vorlin::ipman::unload_ip_upgrade_table"), "0: 1");
    // The generated-files query is the suite's procedure; this interpreter has none.
    EXPECT_EQ(eval("::vorlin::ipman::get_generated_ip_files a.tessel"),
              "1: invalid command name \"_internal_get_generated_ip_files_internal_\"");
}

TEST(IpmanEntryPoints, InitRecordsTheFirstInterpreterAndAddsCollectionCommands)
{
    ASSERT_EQ(atcl_get_interpreter(), nullptr);
    Tcl_Interp* first = Tcl_CreateInterp();
    Tcl_Interp* second = Tcl_CreateInterp();
    EXPECT_EQ(Ipman_Init(first), 0);
    EXPECT_EQ(atcl_get_interpreter(), first);
    EXPECT_EQ(Ipman_Init(second), 0);
    EXPECT_EQ(atcl_get_interpreter(), first);
    // Each interpreter that loads the package gets its commands.
    EXPECT_EQ(Tcl_Eval(second, "package present ::vorlin::ipman"), TCL_OK);
    EXPECT_EQ(Tcl_Eval(first, "get_collection_size {}"), TCL_OK);
    EXPECT_EQ(Ipman_Unload(second, 0), 0);
    EXPECT_EQ(Tcl_Eval(second, "::vorlin::ipman::regenerate_ip"), TCL_ERROR);
    EXPECT_STREQ(Tcl_GetStringResult(second), "invalid command name \"::vorlin::ipman::regenerate_ip\"");
    EXPECT_EQ(ipman_ipman_unregister_tcl(), TCL_OK);
    EXPECT_EQ(ipman_ipman_register_tcl(), TCL_OK);
    Tcl_DeleteInterp(second);
    Tcl_DeleteInterp(first);
}

TEST(IpmanEntryPointsDeathTest, RegistrationNeedsAnInterpreter)
{
    ASSERT_EQ(atcl_get_interpreter(), nullptr);
    EXPECT_EXIT(ipman_ipman_register_tcl(), ::testing::ExitedWithCode(3),
                "A Tcl interpreter must exist before registering ::vorlin::ipman!");
    EXPECT_EXIT(ipman_ipman_unregister_tcl(), ::testing::ExitedWithCode(3), "");
}
