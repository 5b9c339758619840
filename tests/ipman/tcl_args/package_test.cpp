// The ::vorlin::ipman package: definitions, command table, command objects, the common
// prologue and registration in an interpreter.
#include "ipman_tcl_args_auto.h"
#include "ipman_tcl_impl.h"

#include <acf/proj_project.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct EXPECTED_OPTION {
    IPMAN_AUTO_ARGUMENT_ENUM option;
    uint32_t takes_value;
    uint32_t flags;
};

std::vector<EXPECTED_OPTION> table_of(IPMAN_TCL_CMD_ENUM command) {
    std::vector<EXPECTED_OPTION> rows;
    for (const ATCL_OPTION_ENTRY* e = ipman_get_command_definition(command)->options; e->option; ++e) {
        EXPECT_EQ(e->reserved, 0u);
        EXPECT_EQ(e->reserved_ptr1, nullptr);
        EXPECT_EQ(e->reserved_ptr2, nullptr);
        rows.push_back({static_cast<IPMAN_AUTO_ARGUMENT_ENUM>(e->option), e->takes_value, e->flags});
    }
    return rows;
}

bool operator==(const EXPECTED_OPTION& a, const EXPECTED_OPTION& b) {
    return a.option == b.option && a.takes_value == b.takes_value && a.flags == b.flags;
}

const char* const command_names[] = {"regenerate_ip", "list_ip_cores", "load_ip_upgrade_table",
                                     "unload_ip_upgrade_table", "get_ip_list", "find_ip_info",
                                     "get_ip_info_field", "port_diff_clear", "port_diff_add_ip",
                                     "port_diff_gen_report", "get_generated_ip_files", "ip_deploy"};

constexpr const char* kNoProject = "ERROR: You must open a project before you can use this command.";

class IpmanInterpreter : public ::testing::Test {
protected:
    void SetUp() override {
        interp = Tcl_CreateInterp();
        ipman_register_tcl_in(interp);
    }
    void TearDown() override {
        PROJ_PROJECT::m_current = nullptr;
        Tcl_DeleteInterp(interp);
    }
    std::string eval(const std::string& script) {
        const int code = Tcl_Eval(interp, script.c_str());
        return std::to_string(code) + ": " + Tcl_GetStringResult(interp);
    }
    Tcl_Interp* interp = nullptr;
};

}  // namespace

TEST(IpmanDefinitions, ElevenDefinitionsWithTheirOptionTables) {
    for (int command = 0; command < IPMAN_TCL_IP_DEPLOY; ++command) {
        const auto id = static_cast<IPMAN_TCL_CMD_ENUM>(command);
        const ATCL_CMD_DEFINITION* definition = ipman_get_command_definition(id);
        ASSERT_NE(definition, nullptr);
        EXPECT_STREQ(definition->package_leaf, "ipman");
        EXPECT_STREQ(definition->command_name, command_names[command]);
        EXPECT_EQ(definition->option_name, &ipman_get_option_name);
        EXPECT_EQ(definition->reserved1, nullptr);
        EXPECT_EQ(definition->reserved2, nullptr);
        EXPECT_EQ(definition->reserved3, nullptr);
        EXPECT_EQ(definition->reserved4, nullptr);
        EXPECT_EQ(definition->reserved5, nullptr);
    }
    EXPECT_EQ(ipman_get_command_definition(IPMAN_TCL_IP_DEPLOY), nullptr);

    using V = std::vector<EXPECTED_OPTION>;
    EXPECT_EQ(table_of(IPMAN_TCL_REGENERATE_IP), (V{{IPMAN_AUTO_ARG_ALL, 0, 0x100}, {IPMAN_AUTO_ARG_FILES, 1, 0x100},
                                                    {IPMAN_AUTO_ARG_OPTIONAL, 0, 0x100},
                                                    {IPMAN_AUTO_ARG_REQUIRED, 0, 0x100}}));
    EXPECT_EQ(table_of(IPMAN_TCL_LIST_IP_CORES), (V{{IPMAN_AUTO_ARG_ALL, 0, 0x100}, {IPMAN_AUTO_ARG_OPTIONAL, 0, 0x100},
                                                    {IPMAN_AUTO_ARG_REQUIRED, 0, 0x100}}));
    EXPECT_EQ(table_of(IPMAN_TCL_FIND_IP_INFO), (V{{IPMAN_AUTO_ARG_ENTITY, 1, 0}}));
    EXPECT_EQ(table_of(IPMAN_TCL_GET_IP_INFO_FIELD), (V{{IPMAN_AUTO_ARG_FIELD, 1, 0}, {IPMAN_AUTO_ARG_ID, 1, 0}}));
    EXPECT_EQ(table_of(IPMAN_TCL_PORT_DIFF_ADD_IP),
              (V{{IPMAN_AUTO_ARG_NEW_FILE, 1, 0}, {IPMAN_AUTO_ARG_NEW_VERSION, 1, 0x100},
                 {IPMAN_AUTO_ARG_OLD_FILE, 1, 0}, {IPMAN_AUTO_ARG_OLD_VERSION, 1, 0x100}}));
    EXPECT_EQ(table_of(IPMAN_TCL_GET_GENERATED_IP_FILES), (V{{IPMAN_AUTO_ARG_IP_FILE_PATH, 1, 0x1}}));
    for (auto id : {IPMAN_TCL_LOAD_IP_UPGRADE_TABLE, IPMAN_TCL_UNLOAD_IP_UPGRADE_TABLE, IPMAN_TCL_GET_IP_LIST,
                    IPMAN_TCL_PORT_DIFF_CLEAR, IPMAN_TCL_PORT_DIFF_GEN_REPORT}) {
        EXPECT_TRUE(table_of(id).empty()) << ipman_get_command_name(id);
    }
}

TEST(IpmanDefinitions, CommandTableRowsInOrderEndedByANullRow) {
    const ATCL_CALLBACK* row = ipman_get_command_table();
    for (const char* name : command_names) {
        EXPECT_STREQ(row->command_name, name);
        EXPECT_NE(row->handler, nullptr);
        EXPECT_EQ(row->reserved, nullptr);
        ++row;
    }
    EXPECT_EQ(row->handler, nullptr);
    EXPECT_EQ(row->command_name, nullptr);
}

TEST(IpmanDefinitions, CommandObjectsAreBuiltOnceAndKept) {
    const ATCL_CMD& first = ipman_get_command_object(IPMAN_TCL_FIND_IP_INFO);
    EXPECT_EQ(&ipman_get_command_object(IPMAN_TCL_FIND_IP_INFO), &first);
    EXPECT_STREQ(first.get_name(), "find_ip_info");
    EXPECT_EQ(first.usage_line(), "Usage: find_ip_info [-h | -help | -long_help] -entity <entity>");
}

TEST_F(IpmanInterpreter, OptionErrorsComeBeforeTheProjectCheck) {
    ASSERT_EQ(PROJ_PROJECT::m_current, nullptr);
    EXPECT_EQ(eval("::vorlin::ipman::get_ip_info_field -id 0 -field entity"), std::string("1: ") + kNoProject);
    EXPECT_EQ(eval("::vorlin::ipman::get_ip_info_field -id 0").rfind("1: ERROR: Missing required option", 0), 0u);
}

TEST_F(IpmanInterpreter, OtherCommandsRunWithoutAProject) {
    EXPECT_EQ(eval("::vorlin::ipman::find_ip_info -e top"), "0: ");
    EXPECT_EQ(eval("::vorlin::ipman::unload_ip_upgrade_table"), "0: 1");
    EXPECT_EQ(eval("::vorlin::ipman::get_generated_ip_files a.tessel"),
              "1: ERROR: get_generated_ip_files is not available in this build");
    EXPECT_EQ(eval("::vorlin::ipman::ip_deploy -h --anything"), "1: ERROR: ip_deploy is not available in this build");
}

TEST_F(IpmanInterpreter, WithAProjectOpenTheBodyRuns) {
    PROJ_PROJECT project("top", "/tmp/top/", "top");
    PROJ_PROJECT::m_current = &project;
    EXPECT_EQ(eval("::vorlin::ipman::regenerate_ip -opt"), "1: ERROR: regenerate_ip is not available in this build");
}

TEST_F(IpmanInterpreter, UnregisteringRemovesTheCommandsAndThePackage) {
    EXPECT_EQ(ipman_unregister_tcl_from(interp), TCL_OK);
    EXPECT_EQ(eval("info commands ::vorlin::ipman::*"), "0: ");
    EXPECT_EQ(eval("package provide ::vorlin::ipman"), "0: ");
    ipman_register_tcl_in(interp);
    EXPECT_EQ(eval("package present ::vorlin::ipman"), "0: 1.0");
}

TEST(IpmanEntryPoints, InitRecordsTheFirstInterpreterAndAddsCollectionCommands) {
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

TEST(IpmanEntryPointsDeathTest, RegistrationNeedsAnInterpreter) {
    ASSERT_EQ(atcl_get_interpreter(), nullptr);
    EXPECT_EXIT(ipman_ipman_register_tcl(), ::testing::ExitedWithCode(3),
                "A Tcl interpreter must exist before registering ::vorlin::ipman!");
    EXPECT_EXIT(ipman_ipman_unregister_tcl(), ::testing::ExitedWithCode(3), "");
}
