// The settings update after an upgrade: renamed assignments keep their places and the way
// their paths were written, matched by resolved path; session assignments stay sessional
// unless a Tcl script made them.
#include "ipman/regen/controller_test_support.h"

#include <gmock/gmock.h>

namespace controller_test {
namespace {

using ::testing::ElementsAre;

class SETTINGS_UPDATE_TEST : public REGEN_TEST {
protected:
    IPMAN_IP_REGEN_RESULT renamed(const std::string& from, const std::string& to) const
    {
        IPMAN_IP_REGEN_RESULT result;
        result.ip_info.source_file(path(from));
        result.output_file = path(to);
        return result;
    }

    ACF_ASSIGNMENT* add_session_assignment(const std::string& value, const std::string& made_by)
    {
        ACF_MGR_INPUT_PARAMETERS params;
        params.set_variable_type(ACF_VAR_VERILOG_FILE);
        params.set_value_string(value);
        params.set_home_file(path(made_by), 1);
        params.set_is_transient(true);
        return acf()->add_assignment(params);
    }

    static std::vector<std::string> session_values()
    {
        ACF_ASSIGNMENT_LIST list;
        acf()->get_all_assignments(list, false);
        std::vector<std::string> values;
        for (const ACF_ASSIGNMENT* a : list)
            if (a->is_transient()) values.push_back(a->get_name() + " " + a->get_unmodified_value());
        return values;
    }
};

TEST_F(SETTINGS_UPDATE_TEST, RenamesInPlaceMatchingResolvedPaths)
{
    open("newer");
    ASSERT_NE(add_session_assignment(path("shift_var.v"), "notes.txt"), nullptr);
    ASSERT_NE(add_session_assignment("./ram_var.vhd", "flow.tcl"), nullptr);
    std::string error;

    ASSERT_TRUE(m_controller.update_project_settings_after_upgrade(
        {renamed("counter_var.v", "counter_var.tessel"), renamed("shift_var.v", "shift_var.vip"),
         renamed("ram_var.vhd", "ram_var.tessel")},
        error))
        << error;

    EXPECT_EQ(read_text(path("newer.vsf")), "set_global_assignment -name FAMILY {Crest V}\n"
                                            "set_global_assignment -name TOP_LEVEL_ENTITY top\n"
                                            "set_global_assignment -name TESSEL_FILE sys_a.tessel\n"
                                            "set_global_assignment -name TESSEL_FILE sys_b.tessel\n"
                                            "set_global_assignment -name TESSEL_FILE sys_c.tessel\n"
                                            "set_global_assignment -name TESSEL_FILE counter_var.tessel\n"
                                            "set_global_assignment -name VIP_FILE shift_var.vip\n"
                                            "set_global_assignment -name TESSEL_FILE ram_var.tessel\n"
                                            "set_global_assignment -name TESSEL_FILE ram_var.tessel\n");
    // Made by a file that is no Tcl script: renamed, still for this session only.
    EXPECT_THAT(session_values(), ElementsAre("VIP_FILE " + path("shift_var.vip")));
    EXPECT_EQ(posted("IIPMAN_IP_FILE_FROM_TCL_RENAMED"), 1u);
}

}  // namespace
}  // namespace controller_test
