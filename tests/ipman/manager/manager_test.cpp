//! @file manager_test.cpp
//! @brief The IP information manager with the real analysis on the manager test projects:
//! loads and their lists, pending attempts, project queries, the required-upgrade question,
//! release dates and IP-XACT identities.
#include "manager_test_support.h"

#include <cfg/cfg.h>
#include <dev/dev.h>
#include <fio/fio.h>
#include <ipman/ipman_constants.h>
#include <ipman/ipman_ip_info_manager.h>

#include <fstream>

using namespace manager_test;
using LINES = std::vector<std::string>;

namespace {

IPMAN_IP_INFO_MANAGER& manager() { return *IPMAN_IP_INFO_MANAGER::get_ip_info_manager(); }

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

    //! Full load of the open project into the three lists.
    void load()
    {
        m_all.clear();
        m_required.clear();
        m_optional.clear();
        manager().load_ip_info(m_all, m_required, m_optional);
    }

    INFOS m_all, m_required, m_optional;
};

TEST(FORMAT_RELEASE_DATE, MonthNameAndYear)
{
    const IPMAN_IP_INFO_MANAGER& m = manager();
    EXPECT_EQ(m.format_release_date("2019.04"), "Apr 2019");
    EXPECT_EQ(m.format_release_date("2019.4.15"), "Apr 2019");
    EXPECT_EQ(m.format_release_date("2021.12"), "Dec 2021");
    EXPECT_EQ(m.format_release_date("2021.1x"), "Jan 2021");
    for (const char* text : {"2019.13", "2019.0", "2019", "", "2019.", "2019.-1", "2019.99999999999999999999"})
        EXPECT_EQ(m.format_release_date(text), IPMAN_NA_STR) << text;
}

TEST_F(MANAGER_TEST, FullLoadKeepsTheRequiredAndOptionalLists)
{
    open_project("manager_systems");
    load();
    const IPMAN_IP_INFO* mixed = find_record(m_required, in_project("sys/mixed.tessel"), "mixed");
    ASSERT_NE(mixed, nullptr);
    EXPECT_EQ(mixed->regen_status(), IPMAN_SUBCORE_NEEDS_REGEN);
    const IPMAN_IP_INFO* aged = find_record(m_optional, in_project("sys/aged.tessel"), "aged");
    ASSERT_NE(aged, nullptr);
    EXPECT_EQ(aged->regen_status(), IPMAN_VERSION_OLD);
    EXPECT_EQ(manager().get_required_regen_ip_info(), m_required);
    EXPECT_FALSE(manager().load_with_always_regen());

    // The load keeping only all records still replaces the kept lists.
    open_project("manager_regen", "current");
    INFOS all;
    manager().load_ip_info(all);
    EXPECT_FALSE(all.empty());
    EXPECT_TRUE(manager().get_required_regen_ip_info().empty());
}

TEST_F(MANAGER_TEST, LoadReadsTheAlwaysRegenerateSetting)
{
    open_project("manager_regen", "always");
    load();
    EXPECT_TRUE(manager().load_with_always_regen());
    open_project("manager_regen", "plain");
    load();
    EXPECT_FALSE(manager().load_with_always_regen());
}

TEST_F(MANAGER_TEST, LoadForGenerationFilesLeavesTheListsAlone)
{
    open_project("manager_systems");
    load();
    const INFOS required = manager().get_required_regen_ip_info();
    INFOS records;
    LINES not_loaded;
    manager().load_ip_info_for_ip_generation_files(
        {in_project("sys/aged.tessel"), "sys/missing.tessel", "ip/beside/beside.v"}, records, not_loaded);
    EXPECT_EQ(not_loaded, LINES{"sys/missing.tessel"});
    EXPECT_EQ(entities_of(records, in_project("sys/aged.tessel")).size(), 4u);
    EXPECT_EQ(entities_of(records, in_project("ip/beside/beside.vip")), LINES{"beside/"});
    EXPECT_EQ(manager().get_required_regen_ip_info(), required);
}

TEST_F(MANAGER_TEST, PendingAttemptShowsOnTheNextLoad)
{
    open_project("manager_systems");
    load();
    const std::string mixed = in_project("sys/mixed.tessel");
    const std::string current = in_project("sys/gen.tessel");
    ASSERT_NE(find_record(m_required, mixed, "mixed"), nullptr);

    // Files of no kept record (a current variation, a file outside the project) record nothing.
    manager().add_upgrade_attempt(current);
    manager().add_upgrade_attempt(in_project("sys/nowhere.tessel"));
    load();
    for (const IPMAN_IP_INFO& info : m_all)
        EXPECT_EQ(info.upgrade_status(), IPMAN_UPGRADE_NOT_ATTEMPTED) << info.entity();

    // A required upgrade under way: the system itself reads as done; its incompatible sub-IP
    // does not.
    manager().add_upgrade_attempt(mixed);
    load();
    EXPECT_EQ(find_record(m_all, mixed, "mixed")->upgrade_status(), IPMAN_UPGRADE_SUCCESS);
    EXPECT_EQ(find_record(m_all, mixed, "bad_core")->upgrade_status(), IPMAN_UPGRADE_NOT_ATTEMPTED);

    // A finished attempt replaces the pending one.
    manager().add_failed_upgrade_attempt(mixed, "generator failed");
    load();
    EXPECT_EQ(find_record(m_all, mixed, "mixed")->upgrade_status(), IPMAN_UPGRADE_FAILED);
    EXPECT_EQ(find_record(m_all, mixed, "mixed")->upgrade_message(), "generator failed");
}

TEST_F(MANAGER_TEST, ProjectQueries)
{
    EXPECT_EQ(manager().get_revision_name(), "");
    EXPECT_EQ(manager().get_project_family_name(), "");
    EXPECT_EQ(manager().get_top_level_entity_name(), "");

    open_project("manager_systems", "older");
    EXPECT_EQ(manager().get_revision_name(), "older");
    EXPECT_EQ(manager().get_project_family_name(), "Crest II");
    EXPECT_TRUE(IPMAN_IP_INFO_MANAGER::project_contains_ip_files(acf()));

    open_project("manager_no_ip");
    EXPECT_EQ(manager().get_project_family_name(), "");     // family unset
    EXPECT_EQ(manager().get_top_level_entity_name(), "top");
    EXPECT_FALSE(IPMAN_IP_INFO_MANAGER::project_contains_ip_files(acf()));
}

TEST_F(MANAGER_TEST, RequiredUpgradeQuestion)
{
    INFOS records;
    EXPECT_FALSE(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, false));    // no project
    open_project("manager_no_ip");
    EXPECT_FALSE(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, false));
    open_project("manager_regen", "current");
    EXPECT_FALSE(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, false));
    EXPECT_TRUE(records.empty());

    // An IP list is among the variations to upgrade.
    open_project("manager_systems");
    EXPECT_TRUE(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, true));
    EXPECT_NE(find_record(records, in_project("ip/listed.vip"), "listed"), nullptr);
    EXPECT_EQ(records, manager().get_required_regen_ip_info());
    // Switched off by the user.
    cfg_set_value("disable_ip_regen", "on");
    EXPECT_FALSE(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, false));
    cfg_set_value("disable_ip_regen", "");

    // Only system files to upgrade: the layout and the always-regenerate setting decide.
    struct CASE { const char* revision; bool expected; };
    for (const CASE& c : {CASE{"plain", true}, CASE{"always", false}, CASE{"newer", false}}) {
        open_project("manager_regen", c.revision);
        records.assign(1, IPMAN_IP_INFO());
        EXPECT_EQ(IPMAN_IP_INFO_MANAGER::project_has_required_regen_ip(records, false), c.expected) << c.revision;
        EXPECT_FALSE(records.empty()) << c.revision;
        for (const IPMAN_IP_INFO& info : records)
            EXPECT_EQ(FIO_PATH(info.source_file()).extension(), "tessel") << c.revision << " " << info.entity();
    }
}

TEST_F(MANAGER_TEST, CatalogUpdateNeedsAnOpenProject)
{
    std::filesystem::copy(test_ip_root(), dir() + "ip_root", std::filesystem::copy_options::recursive);
    ::setenv("IP_ROOTDIR", (dir() + "ip_root/").c_str(), 1);
    IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(true);
    std::ofstream(dir() + "ip_root/catalog/added.xml")
        << "<ip_catalog><card name=\"added_core\" version=\"1.0\" author=\"A\" type=\"standalone\"/></ip_catalog>\n";

    IPMAN_IP_INFO_MANAGER::ipman_update_ip_catalog();
    EXPECT_TRUE(catalog()->get_ip_cards_by_name("added_core").empty());
    open_project("manager_no_ip");
    IPMAN_IP_INFO_MANAGER::ipman_update_ip_catalog();
    EXPECT_EQ(catalog()->get_ip_cards_by_name("added_core").size(), 1u);
}

TEST_F(MANAGER_TEST, VariationFileChecks)
{
    open_project("manager_systems");
    IPMAN_FAIL_REGEN_TYPE fail_type = IPMAN_FAIL_NONE;
    EXPECT_EQ(IPMAN_IP_INFO_MANAGER::check_is_valid_variation_file(in_project("ip/beside/beside.v"), fail_type), 0);
    EXPECT_EQ(fail_type, IPMAN_FAIL_NONE);
    EXPECT_EQ(IPMAN_IP_INFO_MANAGER::check_is_valid_variation_file(in_project("ip/beside/gone.v"), fail_type), 1);
    EXPECT_EQ(fail_type, IPMAN_FAIL_INVALID_FILE);
    EXPECT_EQ(IPMAN_IP_INFO_MANAGER::check_is_valid_variation_file(in_project("sys/mixed/synthesis/mixed.v"), fail_type),
              1);
    EXPECT_EQ(fail_type, IPMAN_FAIL_NOT_VARIATION_FILE);
    EXPECT_TRUE(manager().is_kelvane_file(FIO_PATH(in_project("ip/beside/beside.v"))));
    EXPECT_FALSE(manager().is_kelvane_file(FIO_PATH(in_project("sys/mixed/synthesis/mixed.v"))));
}

TEST(IP_FILE_INFO, BothSchemaGenerationsAndAMissingFile)
{
    const std::string data = std::string(VORLIN_TEST_DATA_DIR) + "/ipxact/";
    const IPMAN_IP_FILE_INFO older = manager().get_ip_file_info(data + "fifo_2009.gwip");
    EXPECT_EQ(older.get_ipxact_version(), "IPXACT_2009");
    EXPECT_EQ(older.get_name(), "fifo_buffer");
    EXPECT_EQ(older.get_version(), "23.1");
    EXPECT_EQ(older.get_vendor(), "Oltran");

    const IPMAN_IP_FILE_INFO newer = manager().get_ip_file_info(data + "pll_2014.gwip");
    EXPECT_EQ(newer.get_ipxact_version(), "IPXACT_2014");
    EXPECT_EQ(newer.get_name(), "clock_pll");
    EXPECT_EQ(newer.get_library(), "clock_pll_0");

    const IPMAN_IP_FILE_INFO missing = manager().get_ip_file_info(data + "missing.gwip");
    EXPECT_EQ(missing.get_ipxact_version() + missing.get_name() + missing.get_version() + missing.get_library()
                  + missing.get_vendor(),
              "");
}

} // namespace
