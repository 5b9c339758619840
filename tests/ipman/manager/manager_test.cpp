//! @file manager_test.cpp
//! @brief The IP information manager with the real analysis on the manager test projects:
//! loads and their lists, pending attempts, project queries, the required-upgrade question
//! and release dates.
#include "ipman/manager/manager_test_support.h"

#include "analysis/ipman_status_notification.h"
#include "report/ipman_report_writer.h"
#include "support/ipman_project.h"

#include <rdb/rdb.h>

#include <acf/acf.h>
#include <cfg/cfg.h>
#include <fio/fio.h>
#include <ipman/ipman_constants.h>
#include <ipman/ipman_ip_info_manager.h>

using namespace manager_test;

namespace {

IPMAN_IP_INFO_MANAGER& manager()
{
    return *IPMAN_IP_INFO_MANAGER::get_ip_info_manager();
}

class MANAGER_TEST : public PROJECT_TEST {
protected:
    void SetUp() override
    {
        PROJECT_TEST::SetUp();
        manager().set_ip_catalog(catalog());
    }
    void TearDown() override
    {
        cfg_set_value("disable_ip_regen", "");
        PROJECT_TEST::TearDown();
    }
    void load()
    {
        m_all.clear(), m_required.clear(), m_optional.clear();
        manager().load_ip_info(m_all, m_required, m_optional);
    }

    INFOS m_all, m_required, m_optional;
};

TEST(FORMAT_RELEASE_DATE, MonthNameAndYear)
{
    EXPECT_EQ(manager().format_release_date("2019.04"), "Apr 2019");
    EXPECT_EQ(manager().format_release_date("2019.4.15"), "Apr 2019");
    EXPECT_EQ(manager().format_release_date("2021.12x"), "Dec 2021");
    for (const char* text : {"2019.13", "2019.0", "2019", "", "2019.", "2019.99999999999999999999"})
        EXPECT_EQ(manager().format_release_date(text), IPMAN_NA_STR) << text;
}

TEST_F(MANAGER_TEST, LoadsAndTheListsTheyKeep)
{
    open_project("manager_systems");
    load();
    EXPECT_EQ(find_record(m_required, in_project("sys/mixed.tessel"), "mixed").regen_status(),
              IPMAN_SUBCORE_NEEDS_REGEN);
    EXPECT_EQ(find_record(m_optional, in_project("sys/aged.tessel"), "aged").regen_status(),
              IPMAN_VERSION_OLD);
    EXPECT_EQ(manager().get_required_regen_ip_info(), m_required);
    EXPECT_FALSE(manager().load_with_always_regen());

    // The load for generation files leaves the kept lists alone.
    INFOS records;
    LINES not_loaded;
    manager().load_ip_info_for_ip_generation_files({in_project("sys/aged.tessel")}, records, not_loaded);
    EXPECT_EQ(manager().get_required_regen_ip_info(), m_required);

    // The load keeping only all records replaces them, and the always-regenerate setting.
    open_project("manager_regen", "always");
    INFOS all;
    manager().load_ip_info(all);
    EXPECT_FALSE(all.empty());
    EXPECT_NE(manager().get_required_regen_ip_info(), m_required);
    EXPECT_TRUE(manager().load_with_always_regen());
}

// The table's load keeps the main records only, analysed as in the full load, and the
// same kept lists.
TEST_F(MANAGER_TEST, TopLevelLoadGivesTheFullLoadsMainRecords)
{
    open_project("manager_systems");
    load();
    INFOS top_level;
    manager().load_top_level_ip_info([](std::size_t) {},
                                     [&top_level](IPMAN_IP_INFO&& info) { top_level.push_back(info); });
    INFOS expected;
    for (const IPMAN_IP_INFO& info : m_all)
        if (info.parent_entity() == IPMAN_NA_STR) expected.push_back(info);
    ASSERT_EQ(top_level, expected);
    EXPECT_LT(top_level.size(), m_all.size());
    for (std::size_t i = 0; i < top_level.size(); ++i) {
        EXPECT_EQ(top_level[i].regen_status(), expected[i].regen_status()) << i;
        EXPECT_EQ(top_level[i].is_eol(), expected[i].is_eol()) << i;
        EXPECT_EQ(top_level[i].const_supported_filesets(), expected[i].const_supported_filesets()) << i;
    }
    EXPECT_EQ(manager().get_required_regen_ip_info(), m_required);
}

TEST_F(MANAGER_TEST, PendingAttemptShowsOnTheNextLoad)
{
    open_project("manager_systems");
    load();
    const std::string mixed = in_project("sys/mixed.tessel");
    // Files of no kept record (a current variation, a file outside the project) record nothing.
    manager().add_upgrade_attempt(in_project("sys/plain.tessel"));
    manager().add_upgrade_attempt(in_project("sys/nowhere.tessel"));
    load();
    for (const IPMAN_IP_INFO& info : m_all)
        EXPECT_EQ(info.upgrade_status(), IPMAN_UPGRADE_NOT_ATTEMPTED) << info.entity();

    // A required upgrade under way does not make a system read as done while its sub-IP still
    // needs regenerating; its notification speaks of the rolled-up status.
    manager().add_upgrade_attempt(mixed);
    load();
    const IPMAN_IP_INFO main_record = find_record(m_all, mixed, "mixed");
    EXPECT_EQ(main_record.regen_status(), IPMAN_SUBCORE_NEEDS_REGEN);
    EXPECT_EQ(main_record.upgrade_status(), IPMAN_UPGRADE_NOT_ATTEMPTED);
    EXPECT_EQ(main_record.status_notification(),
              ipman_compose_status_notification(main_record, ipman_family_test_holds(),
                                                acf()->get_project_part_enum()));
    EXPECT_EQ(find_record(m_all, mixed, "bad_core").upgrade_status(), IPMAN_UPGRADE_NOT_ATTEMPTED);
    manager().add_failed_upgrade_attempt(mixed, "generator failed");
    load();
    EXPECT_EQ(find_record(m_all, mixed, "mixed").upgrade_message(), "generator failed");
}

// Outcomes are stored and looked up under the source file, also where the generator runs on
// another file: an IP list naming its system, a legacy variation named by its IP list.
TEST_F(MANAGER_TEST, StoredOutcomeFindsVariationsWhoseSourceIsNotTheirGenerationFile)
{
    const std::pair<const char*, const char*> cases[] = {{"manager_systems", "sys/gen/synthesis/gen.vip"},
                                                         {"disc_legacy", "ip/counter8/counter8.vip"}};
    for (const auto& [project, source] : cases) {
        open_project(project);
        load();
        const std::string entity = FIO_PATH(source).base();
        IPMAN_IP_REGEN_RESULT failed;
        failed.status = 1;
        failed.ip_info = find_record(m_all, in_project(source), entity);
        ASSERT_NE(failed.ip_info.ip_generation_file(), failed.ip_info.source_file());
        const std::string revision = acf()->get_revision_manager()->get_active_revision_name();
        RDB_REPORT report(revision, RDB_REPORT_TYPE_COMPILATION);
        rdb_util_create_skeleton_main_folder(&report);
        IPMAN_REPORT_WRITER(&report, {revision, "top", "Crest V"}).write_results({failed}, 1);
        std::string error;
        ASSERT_TRUE(RDB_REPORT::write_report(report, &error)) << error;
        RDB_REPORT::forget_reports();

        manager().load_ip_regen_results_from_report(nullptr);
        load();
        EXPECT_EQ(find_record(m_all, in_project(source), entity).upgrade_status(), IPMAN_UPGRADE_FAILED)
            << project;
    }
}

TEST_F(MANAGER_TEST, RequiredUpgradeQuestion)
{
    INFOS records;
    EXPECT_FALSE(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, false));  // no project
    open_project("manager_no_ip");
    EXPECT_FALSE(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, false));
    open_project("manager_regen", "current");
    EXPECT_FALSE(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, false));
    EXPECT_TRUE(records.empty());

    // An IP list is among the variations to upgrade, unless the user switched upgrades off.
    open_project("manager_systems");
    EXPECT_TRUE(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, true));
    EXPECT_EQ(find_record(records, in_project("ip/listed.vip"), "listed").entity(), "listed");
    cfg_set_value("disable_ip_regen", "on");
    EXPECT_FALSE(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, false));
    cfg_set_value("disable_ip_regen", "");

    // Only system files to upgrade: the layout and the always-regenerate setting decide.
    struct CASE {
        const char* revision;
        bool expected;
    };
    for (const CASE& c : {CASE{"plain", true}, CASE{"always", false}, CASE{"newer", false}}) {
        open_project("manager_regen", c.revision);
        records.assign(1, IPMAN_IP_INFO());
        EXPECT_EQ(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, false), c.expected)
            << c.revision;
        EXPECT_FALSE(records.empty()) << c.revision;
        for (const IPMAN_IP_INFO& info : records)
            EXPECT_EQ(FIO_PATH(info.source_file()).extension(), "tessel")
                << c.revision << " " << info.entity();
    }
}

// Names of an open project are read by the upgrade's report (regenerate_ip.test).
TEST_F(MANAGER_TEST, ProjectQueries)
{
    EXPECT_EQ(manager().get_revision_name() + manager().get_project_family_name(), "");
    open_project("manager_no_ip");
    EXPECT_EQ(manager().get_project_family_name(), "");  // family unset
    EXPECT_EQ(manager().get_top_level_entity_name(), "top");

    IPMAN_FAIL_REGEN_TYPE fail_type = IPMAN_FAIL_NONE;
    EXPECT_EQ(IPMAN_IP_INFO_MANAGER::check_is_valid_variation_file(in_project("src/top.v"), fail_type), 1);
    EXPECT_EQ(fail_type, IPMAN_FAIL_NOT_VARIATION_FILE);
}

}  // namespace
