// Remembered upgrade attempts and the revision they belong to, and deployment runs.
#include "ipman/regen/controller_test_support.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace controller_test {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::IsEmpty;
using ::testing::Pair;

auto attempt(int status, const std::string& message)
{
    return ::testing::AllOf(Field(&IPMAN_UPGRADE_ATTEMPT::status, status),
                            Field(&IPMAN_UPGRADE_ATTEMPT::message, message));
}

TEST_F(REGEN_TEST, AttemptsAreRememberedPerFileForTheActiveRevision)
{
    open("newer");
    m_controller.add_successful_upgrade_attempt(path("sys_a.tessel"));
    m_controller.add_failed_upgrade_attempt(path("sys_b.tessel"), "generator failed");
    m_controller.add_attempted_upgrade(path("counter_var.v"), "<psinvalid>");
    m_controller.add_failed_upgrade_attempt(path("sys_a.tessel"), "second try failed");
    m_controller.reset_attempts_if_revision_changed();

    EXPECT_EQ(m_controller.get_attempts_revision(), "newer");
    EXPECT_THAT(m_controller.get_upgrade_attempts(),
                ElementsAre(Pair(path("counter_var.v"), attempt(IPMAN_UPGRADE_ATTEMPTED, "<psinvalid>")),
                            Pair(path("sys_a.tessel"), attempt(IPMAN_UPGRADE_FAILED, "second try failed")),
                            Pair(path("sys_b.tessel"), attempt(IPMAN_UPGRADE_FAILED, "generator failed"))));
}

// Reading outcomes back from a stored report: manager_test.cpp.
TEST_F(REGEN_TEST, OutcomesOfAnotherRevisionAreForgottenNotTakenForItsOwn)
{
    open("newer");
    m_controller.add_failed_upgrade_attempt(path("sys_b.tessel"), "generator failed");
    m_controller.load_ip_regen_results_from_report(nullptr);
    EXPECT_THAT(m_controller.get_upgrade_attempts(),
                ElementsAre(Pair(path("sys_b.tessel"), attempt(IPMAN_UPGRADE_FAILED, "generator failed"))));

    acf()->close_project();
    open("older");
    m_controller.load_ip_regen_results_from_report(nullptr);
    EXPECT_EQ(m_controller.get_attempts_revision(), "older");
    EXPECT_THAT(m_controller.get_upgrade_attempts(), IsEmpty());
}

TEST_F(REGEN_TEST, DeploymentRunsInTheProjectDirectory)
{
    open("newer");
    IPMAN_IP_REGEN_RESULT result;
    result.status = 7;
    m_controller.do_ip_deploy(" --component-name=fifo_buffer --output-name=fifo_deployed", result);
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(std::filesystem::exists(path("fifo_deployed.gwip")));

    m_controller.do_ip_deploy(" --no-such-option=1", result);
    EXPECT_EQ(result.status, 1);
}

}  // namespace
}  // namespace controller_test
