// Single upgrades through the system generator (in-place core upgrade, upgrade to an IP
// list, variation conversion) on scratch projects of both IP layouts, their failures with
// every file restored, the flows without a command-line upgrade, and the write-protection check.
#include "ipman/regen/controller_test_support.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace controller_test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

bool exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

TEST_F(REGEN_TEST, InPlaceUpgradeInTheNewLayoutRunsNoGenerationAndKeepsTheTopLevelBackup)
{
    open("newer");
    std::filesystem::create_directories(path("sys_a/synthesis"));
    const std::string old_top = m_dir.write("sys_a/synthesis/sys_a.v", "// previous top level\n");
    const std::string original = read_text(path("sys_a.tessel"));
    IPMAN_IP_INFO info = record("sys_a.tessel", IPMAN_TESSEL_UPGRADE_IP_CORES);
    info.ip_top_level_file(old_top);

    const IPMAN_IP_REGEN_RESULT result = upgrade(info);

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.fail_type, IPMAN_FAIL_NONE);
    EXPECT_EQ(result.output_file, "");
    EXPECT_EQ(result.top_level_file, old_top);
    EXPECT_EQ(result.backup_file, path("sys_a.BAK.v"));
    EXPECT_EQ(read_text(result.backup_file), "// previous top level\n");
    EXPECT_FALSE(exists(path("sys_a.BAK.tessel"))) << "only the backup handed on remains";
    EXPECT_NE(read_text(path("sys_a.tessel")), original);
    EXPECT_THAT(read_text(path("sys_a.tessel")),
                HasSubstr("<module name=\"cross\" kind=\"fifo_buffer\" version=\"24.1\"/>"));
    EXPECT_FALSE(exists(path("sys_a/synthesis/sys_a.vip"))) << "no generation in the new layout";
    EXPECT_EQ(result.ip_info, info);
    EXPECT_EQ(posted("IIPMAN_IPRGEN_START"), 1u);
}

// A system named both directly and through its IP list is upgraded by the first of its
// records; the second finds it as that upgrade left it. One the generator left alone was not.
TEST_F(REGEN_TEST, InPlaceUpgradeMustRewriteTheSystemUnlessThisControllerJustDid)
{
    open("newer");
    EXPECT_EQ(upgrade(record("sys_a.tessel", IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP)).status, 0);
    EXPECT_EQ(upgrade(record("sys_a.tessel", IPMAN_TESSEL_UPGRADE_IP_CORES)).status, 0);
    inject_fault("no-output");
    const FILE_SNAPSHOT before = files();
    EXPECT_EQ(upgrade(record("sys_b.tessel", IPMAN_TESSEL_UPGRADE_IP_CORES)).status, 1);
    EXPECT_EQ(files(), before);
}

TEST_F(REGEN_TEST, UpgradeToAnIpListNamesTheListInEachLayout)
{
    open("newer");
    IPMAN_IP_REGEN_RESULT result = upgrade(record("sys_a.tessel", IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output_file, path("sys_a/synthesis/sys_a.vip"));
    EXPECT_TRUE(exists(result.output_file));
    EXPECT_EQ(result.top_level_file, path("sys_a/synthesis/sys_a.v"));

    acf()->close_project();
    open("older");
    result = upgrade(record("sys_b.tessel", IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output_file, path("sys_b/sys_b.vip"));
    EXPECT_TRUE(exists(result.output_file));
    EXPECT_EQ(result.top_level_file, path("sys_b/synth/sys_b.v"));
}

TEST_F(REGEN_TEST, VariationConversionReplacesTheVariationWithAGeneratedSystem)
{
    open("newer");
    const std::string original = read_text(path("ram_var.vhd"));

    const IPMAN_IP_REGEN_RESULT result =
        upgrade(record("ram_var.vhd", IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL, "kv_ram_2port"));

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.fail_type, IPMAN_FAIL_NONE);
    EXPECT_EQ(result.output_file, path("ram_var.tessel"));
    EXPECT_THAT(read_text(result.output_file), HasSubstr("kind=\"ram_2port\""));
    EXPECT_FALSE(exists(path("ram_var.vhd")));
    EXPECT_EQ(result.backup_file, path("ram_var.BAK.vhd"));
    EXPECT_EQ(read_text(result.backup_file), original);
    EXPECT_EQ(result.top_level_file, path("ram_var/synthesis/ram_var.v"));
}

struct FAILURE_CASE {
    const char* name;
    const char* revision;
    const char* file;
    IPMAN_IP_UPGRADE_FLOW_ENUM flow;
    const char* fault;  //!< empty: the catalog makes the generator fail
    IPMAN_FAIL_REGEN_TYPE expected;
};

std::ostream& operator<<(std::ostream& out, const FAILURE_CASE& c)
{
    return out << c.name;
}

class GENERATOR_FAILURE : public REGEN_TEST, public ::testing::WithParamInterface<FAILURE_CASE> {};

TEST_P(GENERATOR_FAILURE, FailsAndLeavesEveryFileAsItWas)
{
    const FAILURE_CASE& c = GetParam();
    open(c.revision);
    if (*c.fault) inject_fault(c.fault);
    const FILE_SNAPSHOT before = files();

    const IPMAN_IP_REGEN_RESULT result = upgrade(record(c.file, c.flow, "kv_ram_2port"));

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.fail_type, c.expected);
    EXPECT_THAT(changed_files(before, files()), IsEmpty());
    EXPECT_EQ(result.backup_file, "");
    EXPECT_EQ(result.top_level_file, "");
    if (c.flow != IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL) {
        EXPECT_EQ(result.output_file, "");
    }
    EXPECT_EQ(posted("IIPMAN_IPRGEN_RESTORE_FILE"), 1u);
}

constexpr auto CORES_FAILED = IPMAN_FAIL_TESSEL_UPGRADE_IP_CORES_FAILED;
constexpr auto CONVERSION_FAILED = IPMAN_FAIL_TESSEL_UPGRADE_VARIATION_FAILED;

INSTANTIATE_TEST_SUITE_P(
    Flows, GENERATOR_FAILURE,
    ::testing::Values(FAILURE_CASE{"in_place_refused_core", "newer", "refuses_upgrade.tessel",
                                   IPMAN_TESSEL_UPGRADE_IP_CORES, "", CORES_FAILED},
                      FAILURE_CASE{"conversion_error_line", "newer", "ram_var.vhd",
                                   IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL, "error-line-exit-0",
                                   CONVERSION_FAILED},
                      FAILURE_CASE{"conversion_no_output", "newer", "ram_var.vhd",
                                   IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL, "no-output", CONVERSION_FAILED}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(REGEN_TEST, FlowsThatCannotRunFailBeforeTouchingAnything)
{
    open("newer");
    const FILE_SNAPSHOT before = files();
    const struct {
        const char* file;
        IPMAN_IP_UPGRADE_FLOW_ENUM flow;
        IPMAN_FAIL_REGEN_TYPE expected;
    } cases[] = {
        {"counter_var.v", IPMAN_NO_UPGRADE, IPMAN_FAIL_NO_CMD_SUPPORT},
        {"counter_var.v", IPMAN_VKELVANE_UI_ONLY, IPMAN_FAIL_NO_CMD_SUPPORT},
        // A file that no wizard made is no variation to upgrade.
        {"plain.v", IPMAN_VARIATION_TO_TESSEL_SA_WITH_TESSEL, IPMAN_FAIL_NOT_VARIATION_FILE},
        {"plain.v", IPMAN_VKELVANE_SILENT, IPMAN_FAIL_NOT_VARIATION_FILE},
    };
    for (const auto& c : cases) {
        const IPMAN_IP_REGEN_RESULT result = upgrade(record(c.file, c.flow, "kv_counter"));
        EXPECT_EQ(result.status, 1) << c.file << " " << c.flow;
        EXPECT_EQ(result.fail_type, c.expected) << c.file << " " << c.flow;
    }
    EXPECT_EQ(files(), before) << "not even a backup";
    EXPECT_THAT(msg_posted_messages(), IsEmpty());
}

TEST_F(REGEN_TEST, WriteProtectedVariationFileFailsTheCheck)
{
    if (running_as_root()) GTEST_SKIP() << "root may append to a write-protected file";
    open("newer");
    IPMAN_FAIL_REGEN_TYPE type = IPMAN_FAIL_NONE;
    std::filesystem::permissions(path("counter_var.v"), std::filesystem::perms::owner_read);
    EXPECT_EQ(m_controller.check_variation_file(path("counter_var.v"), type), 1);
    EXPECT_EQ(type, IPMAN_FAIL_READ_ONLY_FILE);
}

// A backup that cannot be written must stop the attempt: the generator would otherwise
// change the file with nothing to restore it from.
TEST_F(REGEN_TEST, NoGeneratorRunsWhenTheBackupCannotBeMade)
{
    open("newer");
    std::filesystem::create_directory(path("sys_a.BAK.tessel"));
    inject_fault("exit-1");
    const FILE_SNAPSHOT before = files();

    const IPMAN_IP_REGEN_RESULT result = upgrade(record("sys_a.tessel", IPMAN_TESSEL_UPGRADE_IP_CORES));

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.fail_type, IPMAN_FAIL_TESSEL_UPGRADE_IP_CORES_FAILED);
    EXPECT_EQ(files(), before);
    EXPECT_EQ(posted("IIPMAN_IPRGEN_START"), 0u);
}

}  // namespace
}  // namespace controller_test
