//! @file acf_tcl_test.cpp
//! @brief The project commands on a Tcl interpreter: opening, session assignments made by
//! scripts with their file and line, queries, export and errors.
#include "suite/acf/acf_test_support.h"

#include <acf/acf_tcl.h>
#include <atcl/atcl.h>

#include <tcl.h>

using namespace acf_test;

namespace {

class ACF_TCL_TEST : public ACF_TEST {
protected:
    void SetUp() override
    {
        ACF_TEST::SetUp();
        m_previous_dir = std::filesystem::current_path().string();
        m_interp = Tcl_CreateInterp();
        ASSERT_EQ(acf_tcl_init(m_interp), TCL_OK) << Tcl_GetStringResult(m_interp);
        ASSERT_EQ(atcl_register_collection_commands(m_interp), TCL_OK);
    }
    void TearDown() override
    {
        Tcl_DeleteInterp(m_interp);
        std::filesystem::current_path(m_previous_dir);
        ACF_TEST::TearDown();
    }
    //! Evaluates a script; answers its result, or "error: " and the result when it fails.
    std::string eval(const std::string& script)
    {
        const int code = Tcl_EvalEx(m_interp, script.c_str(), -1, TCL_EVAL_GLOBAL);
        return (code == TCL_OK ? "" : "error: ") + std::string(Tcl_GetStringResult(m_interp));
    }

    Tcl_Interp* m_interp = nullptr;
    std::string m_previous_dir;
};

}  // namespace

TEST_F(ACF_TCL_TEST, OpenQueryAndCloseAProject)
{
    EXPECT_EQ(eval("project_open " + dir() + "nested.vpf"), "");
    EXPECT_EQ(eval("pwd"), dir().substr(0, dir().size() - 1));
    EXPECT_EQ(eval("get_global_assignment -name FAMILY"), "Crest V");
    EXPECT_EQ(eval("get_global_assignment -name family"), "Crest V");
    EXPECT_EQ(eval("get_global_assignment -name NO_SUCH_SETTING"), "");
    EXPECT_EQ(eval("get_collection_size [get_all_global_assignments -design]"), "13");
    EXPECT_EQ(eval("project_close"), "");
    EXPECT_FALSE(manager()->is_project_open());
    EXPECT_EQ(eval("get_global_assignment -name FAMILY"),
              "error: ERROR: No project is open. Open one with project_open.");
}

TEST_F(ACF_TCL_TEST, ScriptAssignmentsAreTransientAndRememberTheirPlace)
{
    write_text(dir() + "flow.tcl", "# adds a source for this run only\n"
                                   "set_global_assignment -name VERILOG_FILE -library work -- -odd-name.v\n");
    ASSERT_EQ(eval("project_open " + dir() + " -revision main"), "");
    ASSERT_EQ(eval("source flow.tcl"), "");

    ACF_ASSIGNMENT_LIST list;
    manager()->get_all_assignments(list, false);
    const ACF_ASSIGNMENT& added = *list.back();
    EXPECT_EQ(added.get_unmodified_value(), "-odd-name.v");
    EXPECT_EQ(added.get_value(), dir() + "-odd-name.v");
    EXPECT_EQ(added.get_library_name(), "work");
    EXPECT_TRUE(added.is_transient());
    EXPECT_EQ(added.get_acf_file_name(), dir() + "flow.tcl");
    EXPECT_EQ(added.get_acf_line_number(), 2);
    // shell.test checks that export leaves it out.
}

// Option errors are the command framework's (atcl_args_test.cpp), and so is the layout of help.
TEST_F(ACF_TCL_TEST, HelpAndProjectsThatCannotBeOpenedOrClosed)
{
    EXPECT_EQ(eval("project_open -h"), "");
    EXPECT_EQ(eval("set_global_assignment -long_help"), "");
    EXPECT_EQ(eval("project_open " + dir() + "absent.vpf").rfind("error: ERROR: ", 0), 0u);
    EXPECT_EQ(eval("project_open " + dir() + " -revision nosuch").rfind("error: ERROR: ", 0), 0u);
    EXPECT_EQ(eval("project_close"), "error: ERROR: No project is open. Open one with project_open.");
}

TEST_F(ACF_TCL_TEST, PromptAssignmentsArePermanentAndReadTheirLists)
{
    ASSERT_EQ(eval("project_open -rev main " + dir()), "");
    EXPECT_EQ(eval("set_global_assignment -n VIP_FILE ip/inner/inner.vip"), "");
    EXPECT_EQ(eval("set names {}\n"
                   "foreach_in_collection a [get_all_global_assignments -name VHDL_FILE] {\n"
                   "    lappend names [dict get $a origin] [dict get $a transient]\n"
                   "}\n"
                   "set names"),
              dir() + "ip/inner/inner.vip 0 {} 0 ip/inner/inner.vip 0");
    EXPECT_EQ(eval("export_assignments"), "");
    const std::string vsf = read_text(dir() + "main.vsf");
    EXPECT_NE(vsf.find("set_global_assignment -name VIP_FILE ip/inner/inner.vip\n"), std::string::npos);
    EXPECT_EQ(vsf.find("inner.vhd"), std::string::npos) << "a list's content stays in the list";
    EXPECT_EQ(read_text(dir() + "ip/inner/inner.vip"),
              read_text(std::string(VORLIN_TEST_DATA_DIR) + "/projects/acf_nested/ip/inner/inner.vip"));

    // A list that fails adds nothing.
    write_text(dir() + "bad.vip", "file delete x\n");
    EXPECT_EQ(eval("set_global_assignment -name VIP_FILE bad.vip").rfind("error: ERROR: ", 0), 0u);
    EXPECT_EQ(eval("get_collection_size [get_all_global_assignments -name VIP_FILE]"), "3");
}
