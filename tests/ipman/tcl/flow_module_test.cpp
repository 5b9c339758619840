// The IP Upgrade flow module: one report per revision, made once, and progress lines.
#include "tcl/ipman_cmd.h"

#include "support/test_support.h"

#include <rdb/rdb.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class FLOW_MODULE_TEST : public ::testing::Test {
protected:
    void SetUp() override { m_dir.write("two.vpf", "revision first\nrevision second\n"); }
    void TearDown() override { ACF_MANAGER::get_acf_manager()->close_project(); }

    void open(const std::string& revision)
    {
        m_dir.write(revision + ".vsf", "");
        std::string error;
        ASSERT_TRUE(ACF_MANAGER::get_acf_manager()->open_project(m_dir.file("two.vpf"), revision, error))
            << error;
    }

    TEMP_DIR m_dir;
};

TEST_F(FLOW_MODULE_TEST, OneReportPerRevisionMadeOnce)
{
    EXPECT_EQ(ipman_get_ip_upgrade_report(IPMAN_CMD::get()), nullptr);  // no project
    open("first");
    RDB_REPORT* first = ipman_get_ip_upgrade_report(IPMAN_CMD::get());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ipman_get_ip_upgrade_report(IPMAN_CMD::get()), first);
    EXPECT_NE(rdb_find_summary_by_name(first->get_main_folder(), "Flow Summary"), nullptr);
    EXPECT_EQ(RDB_REPORT::get_database_path(), m_dir.file("db/reports.sqlite"));

    open("second");
    ASSERT_NE(ipman_get_ip_upgrade_report(IPMAN_CMD::get()), nullptr);
    EXPECT_EQ(ipman_get_ip_upgrade_report(IPMAN_CMD::get())->get_revision(), "second");
}

TEST(FlowModuleProgress, PlainLinesWhenNotOnATerminal)
{
    IPMAN_CMD& module = IPMAN_CMD::get();
    module.create_facade();
    ::testing::internal::CaptureStdout();
    for (int percent : {0, 50, 50, 130})
        module.get_facade()->progress(percent);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Info: IP Upgrade: 0%\nInfo: IP Upgrade: 50%\nInfo: IP Upgrade: 100%\n");
}

}  // namespace
