// Upgrades through the legacy wizard, started by `vexec` in a Tcl interpreter set up as the
// shell sets it up: a variation regenerated to an IP list, a silent core turned into a
// system with the project's device family, and their failures.
#include "ipman/regen/controller_test_support.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace controller_test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST_F(WIZARD_REGEN_TEST, SilentRunRegeneratesTheVariationAndWritesItsIpList)
{
    open("newer");
    const std::string original = read_text(path("counter_var.v"));

    const IPMAN_IP_REGEN_RESULT result =
        upgrade(record("counter_var.v", IPMAN_VKELVANE_SILENT, "kv_counter"));

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.fail_type, IPMAN_FAIL_NONE);
    EXPECT_EQ(result.output_file, path("counter_var.vip"));
    EXPECT_TRUE(std::filesystem::exists(result.output_file));
    EXPECT_EQ(result.top_level_file, path("counter_var.v"));
    EXPECT_EQ(result.backup_file, path("counter_var.BAK.v"));
    EXPECT_EQ(read_text(result.backup_file), original);
    EXPECT_THAT(read_text(path("counter_var.v")), HasSubstr("core=kv_counter version=24.1"));
    EXPECT_THAT(read_text(path("counter_var.v")), HasSubstr("STRING \"Crest II\"")) << "not a silent core";
}

TEST_F(WIZARD_REGEN_TEST, SilentCoreBecomesASystemForTheProjectsFamily)
{
    open("newer");
    const std::string original = read_text(path("shift_var.v"));

    const IPMAN_IP_REGEN_RESULT result =
        upgrade(record("shift_var.v", IPMAN_VKELVANE_LEGACY_SILENT, "KV_SHIFT_REG"));

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output_file, path("shift_var.tessel"));
    EXPECT_THAT(read_text(result.output_file),
                HasSubstr("<parameter name=\"deviceFamily\" value=\"Crest V\"/>"));
    EXPECT_THAT(read_text(path("shift_var.v")), HasSubstr("INTENDED_DEVICE_FAMILY STRING \"Crest V\""));
    EXPECT_EQ(read_text(result.backup_file), original);
    EXPECT_EQ(result.top_level_file, "") << "the new system is not generated yet";
}

struct WIZARD_FAILURE_CASE {
    const char* name;
    const char* file;
    const char* tool_name;
    IPMAN_IP_UPGRADE_FLOW_ENUM flow;
    const char* fault;
};

std::ostream& operator<<(std::ostream& out, const WIZARD_FAILURE_CASE& c)
{
    return out << c.name;
}

class WIZARD_FAILURE : public WIZARD_REGEN_TEST, public ::testing::WithParamInterface<WIZARD_FAILURE_CASE> {};

TEST_P(WIZARD_FAILURE, FailsAndLeavesEveryFileAsItWas)
{
    const WIZARD_FAILURE_CASE& c = GetParam();
    open("newer");
    inject_fault(c.fault);
    const FILE_SNAPSHOT before = files();

    const IPMAN_IP_REGEN_RESULT result = upgrade(record(c.file, c.flow, c.tool_name));

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.fail_type, IPMAN_FAIL_VKELVANE_SILENT_FAILED);
    EXPECT_THAT(changed_files(before, files()), IsEmpty());
    EXPECT_EQ(result.output_file, "");
    EXPECT_EQ(result.backup_file, "");
}

INSTANTIATE_TEST_SUITE_P(
    Flows, WIZARD_FAILURE,
    ::testing::Values(WIZARD_FAILURE_CASE{"silent_exit_1", "counter_var.v", "kv_counter",
                                          IPMAN_VKELVANE_SILENT, "exit-1"},
                      WIZARD_FAILURE_CASE{"silent_error_line", "counter_var.v", "kv_counter",
                                          IPMAN_VKELVANE_SILENT, "error-line-exit-0"},
                      WIZARD_FAILURE_CASE{"legacy_no_output", "shift_var.v", "KV_SHIFT_REG",
                                          IPMAN_VKELVANE_LEGACY_SILENT, "no-output"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace controller_test
