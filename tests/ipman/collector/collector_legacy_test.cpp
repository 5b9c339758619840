//! @file collector_legacy_test.cpp
//! @brief Collecting legacy wizard variations, protected cores, target families and device
//! requirements; the collector's reading discipline on the assignment library.
#include "collector_test_support.h"

#include <ipcatalog/ipcatalog.h>

using namespace collector_test;

namespace {

class COLLECTOR_LEGACY_TEST : public COLLECTOR_TEST {
protected:
    void SetUp() override
    {
        COLLECTOR_TEST::SetUp();
        open_project("disc_legacy");
        collect();
    }
};

} // namespace

TEST_F(COLLECTOR_LEGACY_TEST, OneRecordPerListThatNamesAnEntityInDiscoveryOrder)
{
    // empty.vip names no entity and is dropped; the settings file's own top.v has no list.
    EXPECT_EQ(keys(), (std::vector<std::string>{"ip/counter8/counter8.vip", "ip/ram_vhd/ram_vhd.vip",
                                                "ip/mult_nover/mult_nover.vip", "ip/secure_fir/secure_fir.vip",
                                                "ip/secure_counter/secure_counter.vip", "ip/agnostic/agnostic.vip",
                                                "ip/requirements/requirements.vip"}));
    for (const IPMAN_COLLECTED_IP& r : records()) {
        EXPECT_FALSE(r.from_system_file) << r.key;
        EXPECT_FALSE(r.standalone) << r.key;
        EXPECT_FALSE(r.has_warnings || r.has_errors) << r.key;
    }
}

TEST_F(COLLECTOR_LEGACY_TEST, WizardVariationTakesCoreAndFamilyFromItsFile)
{
    const IPMAN_COLLECTED_IP* r = record("ip/counter8/counter8.vip");
    ASSERT_NE(r, nullptr);
    const std::string variation = dir() + "ip/counter8/counter8.v";
    EXPECT_EQ(r->kind, IPMAN_COLLECTED_IP_KIND::LEGACY_VARIATION);
    EXPECT_EQ(r->base_name, "counter8");
    // counter8_bb.v is named after another entity and does not count.
    EXPECT_EQ(r->main_file, variation);
    EXPECT_EQ(r->top_level_file, variation);
    EXPECT_EQ(r->language, IPMAN_RTL_VERILOG);
    EXPECT_FALSE(r->encrypted);
    // The list names no core: the main entity takes the wizard's core name and version.
    EXPECT_EQ(r->core_name, "kv_counter");
    EXPECT_EQ(r->core_version, "23.1");
    EXPECT_EQ(describe(r->entities), (std::vector<std::string>{"counter8||kv_counter|23.1|Kelvane||"}));
    EXPECT_EQ(r->supported_families, (std::vector<DEV_FAMILY_ENUM>{family("Crest II")}));
    EXPECT_TRUE(r->device_requirements.empty());
}

TEST_F(COLLECTOR_LEGACY_TEST, ListIdentityAndFamiliesOutrankTheWizardFile)
{
    const IPMAN_COLLECTED_IP* r = record("ip/ram_vhd/ram_vhd.vip");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->kind, IPMAN_COLLECTED_IP_KIND::LEGACY_VARIATION);
    EXPECT_EQ(r->language, IPMAN_RTL_VHDL);
    EXPECT_EQ(r->main_file, dir() + "ip/ram_vhd/ram_vhd.vhd");
    EXPECT_EQ(r->core_name, "kv_ram_1port");
    EXPECT_EQ(r->core_version, "22.1");
    // The list's families are kept; the file's family line is not read.
    EXPECT_EQ(r->supported_families, (std::vector<DEV_FAMILY_ENUM>{family("Ember II"), family("Crest V")}));
}

TEST_F(COLLECTOR_LEGACY_TEST, WizardLineWithoutVersionAndCatalogFamilyParameter)
{
    const IPMAN_COLLECTED_IP* r = record("ip/mult_nover/mult_nover.vip");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->kind, IPMAN_COLLECTED_IP_KIND::LEGACY_VARIATION);
    EXPECT_EQ(r->top_level_file, dir() + "ip/mult_nover/mult_nover.v");
    EXPECT_EQ(r->core_name, "kv_mult");
    EXPECT_EQ(r->core_version, "");
    // The catalog names DEVICE_FAMILY as the family parameter of kv_mult.
    EXPECT_EQ(r->supported_families, (std::vector<DEV_FAMILY_ENUM>{family("Cinder")}));
}

TEST_F(COLLECTOR_LEGACY_TEST, ProtectedFiles)
{
    const IPMAN_COLLECTED_IP* plain = record("ip/secure_fir/secure_fir.vip");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->kind, IPMAN_COLLECTED_IP_KIND::UNCLASSIFIED);
    EXPECT_TRUE(plain->encrypted);
    EXPECT_EQ(plain->main_file, dir() + "ip/secure_fir/secure_fir.v");
    EXPECT_EQ(plain->top_level_file, "");
    EXPECT_EQ(plain->core_name, "fir_filter");
    EXPECT_EQ(describe(plain->entities), (std::vector<std::string>{"secure_fir||fir_filter|23.1||Oltran|"}));
    EXPECT_TRUE(plain->supported_families.empty());

    // A protected wizard variation stays a legacy variation and keeps the flag.
    const IPMAN_COLLECTED_IP* wizard = record("ip/secure_counter/secure_counter.vip");
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(wizard->kind, IPMAN_COLLECTED_IP_KIND::LEGACY_VARIATION);
    EXPECT_TRUE(wizard->encrypted);
    EXPECT_EQ(wizard->top_level_file, dir() + "ip/secure_counter/secure_counter.v");
    EXPECT_EQ(wizard->core_name, "kv_counter");
    EXPECT_EQ(wizard->core_version, "22.1");
    EXPECT_EQ(wizard->supported_families, (std::vector<DEV_FAMILY_ENUM>{family("Ember II")}));
}

TEST_F(COLLECTOR_LEGACY_TEST, TargetFamiliesKeepDeviceAgnosticAndDropUnknownNames)
{
    const IPMAN_COLLECTED_IP* agnostic = record("ip/agnostic/agnostic.vip");
    ASSERT_NE(agnostic, nullptr);
    EXPECT_EQ(agnostic->supported_families, (std::vector<DEV_FAMILY_ENUM>{DEV_FAMILY_DEVICE_AGNOSTIC}));
    // An ordinary HDL file: language known, nothing to regenerate from.
    EXPECT_EQ(agnostic->kind, IPMAN_COLLECTED_IP_KIND::UNCLASSIFIED);
    EXPECT_EQ(agnostic->language, IPMAN_RTL_VERILOG);
    EXPECT_EQ(agnostic->main_file, "");
    EXPECT_EQ(agnostic->top_level_file, "");

    // A value that is no Tcl list adds nothing; duplicates and internal names are kept.
    const IPMAN_COLLECTED_IP* other = record("ip/requirements/requirements.vip");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->supported_families,
              (std::vector<DEV_FAMILY_ENUM>{family("Crest VII"), family("Crest II"), family("Crest VII")}));
    EXPECT_EQ(other->language, IPMAN_RTL_USE_PROJECT_SETTING);
}

TEST_F(COLLECTOR_LEGACY_TEST, DeviceRequirementsNeedExactlyANameAndAValue)
{
    const IPMAN_COLLECTED_IP* r = record("ip/requirements/requirements.vip");
    ASSERT_NE(r, nullptr);
    // Three parts, an empty or blank side, or no separator: ignored. The last value wins.
    EXPECT_EQ(r->device_requirements,
              (std::map<std::string, std::string>{{"HAS_HBM", "1"}, {"SPEED", "I3"}}));
}

TEST_F(COLLECTOR_LEGACY_TEST, CollectingAgainRebuildsTheRecords)
{
    const std::vector<std::string> first = keys();
    collect();
    EXPECT_EQ(keys(), first);
    EXPECT_EQ(m_collector.get_ip_catalog_manager(), IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false));

    acf()->close_project();
    collect();
    EXPECT_TRUE(records().empty());
}

TEST_F(COLLECTOR_LEGACY_TEST, LeavesLocksAndFiltersAsItFoundThem)
{
    ACF_REVISION_MANAGER* revision = acf()->get_revision_manager();
    acf()->set_variable_trait_filter(ACF_TRAIT_FILE);
    collect();
    EXPECT_FALSE(revision->is_read_locked());
    // Filters are reset afterwards: every assignment is visible again.
    ACF_ASSIGNMENT_LIST all;
    acf()->get_all_assignments(all, false);
    ACF_ASSIGNMENT_LIST unfiltered;
    acf()->reset_filters();
    acf()->get_all_assignments(unfiltered, false);
    EXPECT_EQ(all.size(), unfiltered.size());

    // A lock the caller holds is used, not released.
    ASSERT_TRUE(revision->read_lock(true));
    collect();
    EXPECT_TRUE(revision->is_read_locked());
    EXPECT_EQ(records().size(), 7u);
    revision->read_unlock();
    EXPECT_FALSE(revision->is_read_locked());
}

TEST(COLLECTOR_STATE_TEST, FlagsAndCatalogSurviveCollections)
{
    ACF_MANAGER::get_acf_manager()->close_project();
    IPMAN_ACF_IP_COLLECTOR collector;
    EXPECT_FALSE(collector.get_always_regen());
    EXPECT_TRUE(collector.is_pro_version());
    EXPECT_EQ(collector.get_tool_string(), "TesselCrestPro");
    EXPECT_EQ(collector.get_ip_catalog_manager(), nullptr);

    IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog = IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false);
    collector.set_ip_catalog_manager(catalog);
    collector.set_always_regen(true);
    collector.set_is_pro_version(false);
    collector.collect_ip_files();
    EXPECT_TRUE(collector.get_collected_ips().empty());
    EXPECT_TRUE(collector.get_always_regen());
    EXPECT_EQ(collector.get_tool_string(), "Tessel");
    EXPECT_EQ(collector.get_ip_catalog_manager(), catalog);
}
