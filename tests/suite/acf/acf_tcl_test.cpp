//! @file acf_tcl_test.cpp
//! @brief The project commands on a Tcl interpreter: opening, queries and closing.
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
    EXPECT_EQ(eval("set names {}\n"
                   "foreach_in_collection a [get_all_global_assignments -name VHDL_FILE] {\n"
                   "    lappend names [dict get $a value] [dict get $a origin]\n"
                   "}\n"
                   "set names"),
              dir() + "ip/inner/inner.vhd " + dir() + "ip/inner/inner.vip ./src/../src/util.vhd {}");
    EXPECT_EQ(eval("project_close"), "");
    EXPECT_FALSE(manager()->is_project_open());
    EXPECT_EQ(eval("get_global_assignment -name FAMILY"),
              "error: ERROR: No project is open. Open one with project_open.");
}
