//! @file report_writer_test.cpp
//! @brief The IP Upgrade report section: layout, replacement on a second run, the removal of
//! empty result tables, and reading earlier outcomes back. The text copy is the store's.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <rdb/rdb.h>

#include "report/ipman_messages.h"
#include "report/ipman_report_writer.h"

namespace {

using ::testing::ElementsAre;
using ::testing::Pair;
using ::testing::StartsWith;

const char* const SUCCESS_TABLE = "Successfully Upgraded IP Components";
const char* const FAILED_TABLE = "Failed Upgrade IP Components";

IPMAN_IP_REGEN_RESULT result(const std::string& entity, int status, IPMAN_FAIL_REGEN_TYPE fail_type,
                             const std::string& output_file = "")
{
    IPMAN_IP_REGEN_RESULT r;
    r.ip_info.entity(entity);
    r.ip_info.tool_name(entity + "_core");
    r.ip_info.tool_version("23.1");
    r.ip_info.source_file("/p/" + entity + ".vip");
    r.ip_info.ip_generation_file("/p/" + entity + ".tessel");
    r.status = status;
    r.fail_type = fail_type;
    r.output_file = output_file;
    return r;
}

class REPORT_WRITER_TEST : public ::testing::Test {
protected:
    REPORT_WRITER_TEST() { rdb_util_create_skeleton_main_folder(&m_report); }

    IPMAN_REPORT_WRITER writer() { return IPMAN_REPORT_WRITER(&m_report, {"rev1", "top", "Crest V"}); }
    RDB_FOLDER_OBJECT* ip_folder() const { return m_report.get_current_folder(); }
    const RDB_TABLE_OBJECT* table(const char* name) const
    {
        return static_cast<const RDB_TABLE_OBJECT*>(ip_folder()->find_object(name));
    }

    RDB_REPORT m_report{"rev1", RDB_REPORT_TYPE_COMPILATION};
};

TEST_F(REPORT_WRITER_TEST, SectionLayoutSummaryAndRows)
{
    writer().write_results({result("ok", 0, IPMAN_FAIL_NONE, "/p/ok_new.tessel"),
                            result("bad", 1, IPMAN_FAIL_NONE), result("ro", 1, IPMAN_FAIL_READ_ONLY_FILE)},
                           1);
    // In a skeleton report the section is a main folder of its own.
    ASSERT_EQ(ip_folder(), m_report.get_main_folder(1));
    EXPECT_EQ(ip_folder()->get_object(0)->get_kind(), RDB_OBJECT_KIND::LEGAL);

    const auto* summary = rdb_find_summary_by_name(ip_folder(), "IP Upgrade Summary");
    ASSERT_NE(summary, nullptr);
    EXPECT_THAT(summary->get_rows()[0].second, StartsWith("Failed - "));
    EXPECT_THAT(summary->get_rows()[2], Pair(RDB_REVISION_NAME, "rev1"));

    const RDB_TABLE_OBJECT* ok = table(SUCCESS_TABLE);
    const RDB_TABLE_OBJECT* failed = table(FAILED_TABLE);
    ASSERT_TRUE(ok && failed);
    EXPECT_THAT(ok->get_row(0),
                ElementsAre("Entity Name", "Component Name", "Version", "Original Source File",
                            "Generation File Path", "New Source File", "Message"));
    EXPECT_THAT(ok->get_row(1),
                ElementsAre("ok", "ok_core", "23.1", "/p/ok.vip", "/p/ok.tessel", "/p/ok_new.tessel", ""));
    ASSERT_EQ(failed->get_number_of_rows(), 3u);
    EXPECT_EQ(*failed->get_cell(2, 6),
              get_msg_from_type("/p/ro.tessel", IPMAN_FAIL_READ_ONLY_FILE)->get_msg_text());
    EXPECT_NE(ip_folder()->find_object("IP Upgrade Messages"), nullptr);
}

TEST_F(REPORT_WRITER_TEST, EmptyTablesGoAndASecondRunReplacesTheSection)
{
    writer().write_results({result("bad", 1, IPMAN_FAIL_NONE)}, 1);
    EXPECT_EQ(table(SUCCESS_TABLE), nullptr);
    writer().write_results({result("ok", 0, IPMAN_FAIL_NONE)}, 0);
    EXPECT_EQ(m_report.get_number_of_main_folders(), 2u);
    EXPECT_EQ(table(FAILED_TABLE), nullptr);

    // Below a main folder of another name, an earlier section is replaced in place.
    RDB_REPORT named("rev1", RDB_REPORT_TYPE_COMPILATION);
    RDB_FOLDER_OBJECT* main = named.add_main_folder(std::make_unique<RDB_FOLDER_OBJECT>("Compilation"));
    static_cast<RDB_FOLDER_OBJECT*>(main->add_object(std::make_unique<RDB_FOLDER_OBJECT>("IP Upgrade")))
        ->add_object(rdb_create_table("stale"));
    IPMAN_REPORT_WRITER(&named, {}).create_ip_folder();
    EXPECT_EQ(main->get_number_of_objects(), 1u);
    EXPECT_EQ(named.get_current_folder()->get_number_of_objects(), 0u);
}

TEST_F(REPORT_WRITER_TEST, ReadBackStatusesAndKeys)
{
    writer().write_results({result("ok", 0, IPMAN_FAIL_NONE, "/p/ok_new.tessel"),
                            result("plain", 0, IPMAN_FAIL_NONE),
                            result("conv", 1, IPMAN_FAIL_TESSEL_UPGRADE_VARIATION_FAILED, "/p/conv.tessel"),
                            result("both", 1, IPMAN_FAIL_NONE), result("both", 0, IPMAN_FAIL_NONE)},
                           1);
    std::map<std::string, IPMAN_UPGRADE_ATTEMPT> attempts;
    // The controller starts the search from the main folder, as a report read again would.
    m_report.set_current_folder(m_report.get_main_folder());
    writer().read_upgrade_attempts(attempts);
    auto status_of = [&](const std::string& key) {
        const auto found = attempts.find(key);
        return found == attempts.end() ? -1 : found->second.status;
    };
    EXPECT_EQ(status_of("/p/ok_new.tessel"), IPMAN_UPGRADE_SUCCESS);  // keyed by the new file
    EXPECT_EQ(status_of("/p/conv.vip"), IPMAN_UPGRADE_CONVERTED_BUT_FAILED_REGEN);
    EXPECT_EQ(status_of("/p/both.vip"), IPMAN_UPGRADE_FAILED);  // failed wins
    EXPECT_EQ(
        attempts.at("/p/conv.vip").message,
        get_msg_from_type("/p/conv.tessel", IPMAN_FAIL_TESSEL_UPGRADE_VARIATION_FAILED)->get_msg_text());
}

}  // namespace
