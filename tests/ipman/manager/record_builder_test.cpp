//! @file record_builder_test.cpp
//! @brief Collected variations turned into IP records: fields, sub-IP roll-up, filesets,
//! default list directories, vendors, the required/optional split and the look-ups.
#include "manager_test_support.h"

#include "ipman_acf_ip_collector.h"

#include <ipman/ipman_constants.h>

#include <algorithm>

using namespace manager_test;
using LINES = std::vector<std::string>;

namespace {

class RECORD_BUILDER_TEST : public PROJECT_TEST {
protected:
    //! Opens a revision of manager_systems, collects it and builds the three lists.
    void build(const std::string& revision = "newer")
    {
        open_project("manager_systems", revision);
        m_collector.collect_ip_files();
        m_collector.build_ip_info_lists(m_controller, m_all, m_required, m_optional);
    }

    std::string source(const std::string& relative) const { return in_project(relative); }

    IPMAN_ACF_IP_COLLECTOR m_collector;
    SCRIPTED_CONTROLLER m_controller;
    INFOS m_all, m_required, m_optional;
};

TEST_F(RECORD_BUILDER_TEST, SystemGivesMainAndSubIpRecords)
{
    build();
    const std::string mixed = source("sys/mixed.tessel");
    // The second entity of the system tool (mixed_shell) is no sub-IP.
    EXPECT_EQ(entities_of(m_all, mixed), (LINES{"mixed/mixed", "bad_core/bad_0", "ok_core/ok_0"}));

    const IPMAN_IP_INFO* main = find_record(m_all, mixed, "mixed");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->tool_name(), "Tessel");
    EXPECT_EQ(main->tool_version(), IPMAN_NA_STR);
    EXPECT_EQ(main->generated_by(), "Tessel");
    EXPECT_EQ(main->vendor_name(), IPMAN_NA_STR);     // no catalog card for the system tool
    EXPECT_EQ(main->parent_entity(), IPMAN_NA_STR);
    EXPECT_EQ(main->ip_generation_file(), mixed);
    EXPECT_EQ(main->ip_top_level_file(), source("sys/mixed/synthesis/mixed.v"));
    EXPECT_EQ(main->regen_language(), IPMAN_RTL_VERILOG);
    EXPECT_EQ(main->const_supported_families(), std::vector<DEV_FAMILY_ENUM>{dstr_get_dev_family_enum_by_string("Crest V")});

    const IPMAN_IP_INFO* bad = find_record(m_all, mixed, "bad_core");
    ASSERT_NE(bad, nullptr);
    EXPECT_EQ(bad->tool_version(), "20.1");
    EXPECT_EQ(bad->generated_by(), IPMAN_NA_STR);
    EXPECT_EQ(bad->vendor_name(), IPMAN_OLTRAN_STR);  // a sub-IP of a system without vendor
    EXPECT_EQ(bad->parent_entity(), "mixed");
    EXPECT_EQ(bad->ip_generation_file(), mixed);
    EXPECT_EQ(bad->ip_top_level_file(), "");
    EXPECT_EQ(find_record(m_all, mixed, "ok_core")->vendor_name(), "Acme Cores");
}

TEST_F(RECORD_BUILDER_TEST, SourceFileIsTheFileTheVariationEnteredBy)
{
    build();
    // A system file named directly: source and generation file are the same file.
    const IPMAN_IP_INFO* aged = find_record(m_all, source("sys/aged.tessel"), "aged");
    ASSERT_NE(aged, nullptr);
    EXPECT_EQ(aged->ip_generation_file(), aged->source_file());
    // An IP list naming a system file: the list is the source, the system file generates.
    const IPMAN_IP_INFO* listed = find_record(m_all, source("ip/listed.vip"), "listed");
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->ip_generation_file(), source("sys/aged.tessel"));
    // Sub-IPs carry the source of their variation.
    ASSERT_NE(find_record(m_all, source("ip/listed.vip"), "bad_core"), nullptr);
}

TEST_F(RECORD_BUILDER_TEST, IncompatibleSubIpMakesTheVariationRequired)
{
    m_controller.verdicts["bad_core"].status = IPMAN_INCOMPATIBLE;
    build();
    const std::string mixed = source("sys/mixed.tessel");
    const IPMAN_IP_INFO* main = find_record(m_all, mixed, "mixed");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->regen_status(), IPMAN_SUBCORE_NEEDS_REGEN);
    // The flow is decided again for the new status: the system's cores are upgraded in place.
    EXPECT_EQ(main->upgrade_flow(), IPMAN_TESSEL_UPGRADE_IP_CORES);
    // The whole variation goes to the required list, its current sub-IP included.
    EXPECT_EQ(entities_of(m_required, mixed), (LINES{"mixed/mixed", "bad_core/bad_0", "ok_core/ok_0"}));
    EXPECT_EQ(entities_of(m_optional, mixed), LINES{});
    // So does the list naming a system; its flow produces a new IP list.
    const IPMAN_IP_INFO* listed = find_record(m_required, source("ip/listed.vip"), "listed");
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->upgrade_flow(), IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP);
}

TEST_F(RECORD_BUILDER_TEST, SubIpWithWarningMakesTheVariationOptional)
{
    m_controller.verdicts["old_core"].status = IPMAN_VERSION_OLD;
    build();
    const std::string aged = source("sys/aged.tessel");
    const IPMAN_IP_INFO* main = find_record(m_all, aged, "aged");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->regen_status(), IPMAN_VERSION_OLD);
    EXPECT_EQ(main->upgrade_flow(), IPMAN_TESSEL_UPGRADE_IP_CORES);
    EXPECT_EQ(entities_of(m_optional, aged), (LINES{"aged/aged", "old_core/old_0", "old_core/old_1", "ok_core/ok_1"}));
    EXPECT_EQ(entities_of(m_required, aged), LINES{});
    // A current variation is in neither list.
    EXPECT_EQ(entities_of(m_required, source("sys/gen/synthesis/gen.vip")), LINES{});
    EXPECT_EQ(entities_of(m_optional, source("sys/gen/synthesis/gen.vip")), LINES{});
}

TEST_F(RECORD_BUILDER_TEST, IncompatibleSubIpOutranksOneWithWarning)
{
    m_controller.verdicts["bad_core"].status = IPMAN_INCOMPATIBLE_FAMILY;
    m_controller.verdicts["ok_core"].status = IPMAN_FAMILY_MISMATCH;
    build();
    EXPECT_EQ(find_record(m_all, source("sys/mixed.tessel"), "mixed")->regen_status(), IPMAN_SUBCORE_NEEDS_REGEN);
    // A main record already incompatible keeps its own status.
    m_controller.verdicts["mixed"].status = IPMAN_INCOMPATIBLE_TOOL_ENV;
    m_all.clear();
    m_collector.build_ip_info_lists(m_controller, m_all, m_required, m_optional);
    EXPECT_EQ(find_record(m_all, source("sys/mixed.tessel"), "mixed")->regen_status(), IPMAN_INCOMPATIBLE_TOOL_ENV);
}

TEST_F(RECORD_BUILDER_TEST, EndOfLifeSubIpRetiresTheVariationUnlessItsCoreCarriesIt)
{
    m_controller.verdicts["eol_core"].eol = true;
    build();
    const std::string retired = source("sys/retired.tessel");
    const IPMAN_IP_INFO* main = find_record(m_all, retired, "retired");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->is_eol());
    EXPECT_EQ(main->regen_status(), IPMAN_COMPATIBLE);
    // End of life and compatible: nothing to upgrade, in neither list.
    EXPECT_EQ(entities_of(m_required, retired), LINES{});
    EXPECT_EQ(entities_of(m_optional, retired), LINES{});

    m_controller.verdicts["retired"].eol_sub_ips = {"eol_core"};
    m_all.clear();
    m_collector.build_ip_info_lists(m_controller, m_all, m_required, m_optional);
    EXPECT_FALSE(find_record(m_all, retired, "retired")->is_eol());
}

TEST_F(RECORD_BUILDER_TEST, UnspecificMainFilesetsBecomeWhatAllRecordsGenerate)
{
    m_controller.verdicts["aged"].filesets = {IPMAN_FILESET_BLOCK_SYMBOL};
    m_controller.verdicts["old_core"].filesets = {IPMAN_FILESET_SIM_VERILOG, IPMAN_FILESET_SIM_VHDL};
    m_controller.verdicts["ok_core"].filesets = {IPMAN_FILESET_SIM_VHDL};
    m_controller.verdicts["mixed"].filesets = {IPMAN_FILESET_SYNTHESIS};
    m_controller.verdicts["bad_core"].filesets = {IPMAN_FILESET_SYNTHESIS, IPMAN_FILESET_SIM_VHDL};
    build();
    EXPECT_EQ(find_record(m_all, source("sys/aged.tessel"), "aged")->const_supported_filesets(),
              FILESETS{IPMAN_FILESET_SIM_VHDL});
    // Without any specific set, the union of the empty sets stays empty.
    EXPECT_EQ(find_record(m_all, source("sys/retired.tessel"), "retired")->const_supported_filesets(), FILESETS{});
    // A main record with a set of its own keeps it.
    EXPECT_EQ(find_record(m_all, source("sys/mixed.tessel"), "mixed")->const_supported_filesets(),
              FILESETS{IPMAN_FILESET_SYNTHESIS});
}

TEST_F(RECORD_BUILDER_TEST, AnalysisIsToldHowTheVariationWasFound)
{
    build();
    auto call_of = [this](const std::string& entity) {
        const auto call = std::find_if(m_controller.calls.begin(), m_controller.calls.end(),
                                       [&entity](const ANALYSIS_CALL& c) { return c.entity == entity; });
        EXPECT_NE(call, m_controller.calls.end()) << entity;
        return call == m_controller.calls.end() ? ANALYSIS_CALL{} : *call;
    };
    // The main record of a legacy variation may take a legacy card.
    EXPECT_TRUE(call_of("beside").search_legacy_cards);
    EXPECT_FALSE(call_of("beside").adopt_catalog_version);
    // Modules read from a system file itself adopt the catalog's version.
    EXPECT_TRUE(call_of("plain").adopt_catalog_version);
    EXPECT_FALSE(call_of("mixed").adopt_catalog_version);
    EXPECT_FALSE(call_of("mixed").search_legacy_cards);
    // One analysis per produced record, none for skipped entities.
    EXPECT_EQ(m_controller.calls.size(), m_all.size());
}

TEST_F(RECORD_BUILDER_TEST, ListInDefaultDirectoryInTheNewerLayout)
{
    build("newer");
    auto vip_of = [this](const std::string& file, const std::string& entity) {
        const IPMAN_IP_INFO* info = find_record(m_all, source(file), entity);
        return info ? info->vip_in_default_directory() : IPMAN_TERNARY_UNKNOWN;
    };
    EXPECT_EQ(vip_of("sys/gen/synthesis/gen.vip", "gen"), IPMAN_TERNARY_TRUE);
    EXPECT_EQ(vip_of("sys/old/old.vip", "old"), IPMAN_TERNARY_FALSE);
    EXPECT_EQ(vip_of("ip/listed.vip", "listed"), IPMAN_TERNARY_FALSE);
    // Legacy variations compare directories whether the list was named relative or not.
    EXPECT_EQ(vip_of("ip/beside/beside.vip", "beside"), IPMAN_TERNARY_TRUE);
    EXPECT_EQ(vip_of("ip/away/away.vip", "away"), IPMAN_TERNARY_FALSE);
    // Other kinds leave it unknown; so do sub-IPs.
    EXPECT_EQ(vip_of("sys/mixed.tessel", "mixed"), IPMAN_TERNARY_UNKNOWN);
    EXPECT_EQ(vip_of("sys/gen/synthesis/gen.vip", "ok_core"), IPMAN_TERNARY_UNKNOWN);
}

TEST_F(RECORD_BUILDER_TEST, ListInDefaultDirectoryInTheOlderLayout)
{
    build("older");
    EXPECT_EQ(find_record(m_all, source("sys/gen/synthesis/gen.vip"), "gen")->vip_in_default_directory(),
              IPMAN_TERNARY_FALSE);
    EXPECT_EQ(find_record(m_all, source("sys/old/old.vip"), "old")->vip_in_default_directory(), IPMAN_TERNARY_TRUE);
    EXPECT_EQ(find_record(m_all, source("ip/beside/beside.vip"), "beside")->vip_in_default_directory(),
              IPMAN_TERNARY_TRUE);
}

TEST_F(RECORD_BUILDER_TEST, VendorsOfLegacyVariationsAndSystemModules)
{
    build();
    const IPMAN_IP_INFO* legacy = find_record(m_all, source("ip/beside/beside.vip"), "beside");
    ASSERT_NE(legacy, nullptr);
    EXPECT_EQ(legacy->tool_name(), "kv_counter");
    EXPECT_EQ(legacy->vendor_name(), IPMAN_OLTRAN_STR);
    EXPECT_EQ(legacy->parent_entity(), IPMAN_NA_STR);
    EXPECT_EQ(legacy->ip_top_level_file(), source("ip/beside/beside.v"));

    // Modules read from the system file name no vendor: the catalog card of the same
    // version gives it, and without such a card it stays unknown.
    const std::string plain = source("sys/plain.tessel");
    EXPECT_EQ(find_record(m_all, plain, "ok_core")->vendor_name(), "Acme Silicon");
    EXPECT_EQ(find_record(m_all, plain, "old_core")->vendor_name(), IPMAN_NA_STR);
}

TEST_F(RECORD_BUILDER_TEST, FindByName)
{
    open_project("manager_systems");
    m_collector.collect_ip_files();
    IPMAN_IP_INFO found;
    ASSERT_TRUE(m_collector.find_ip_info_by_name(m_controller, "sys/mixed.tessel", "mixed", "mixed", found));
    EXPECT_EQ(found.tool_name(), "Tessel");
    ASSERT_TRUE(m_collector.find_ip_info_by_name(m_controller, "sys/mixed.tessel", "ok_core", "ok_0", found));
    EXPECT_EQ(found.parent_entity(), "mixed");

    // The first record with entity and library wins; without one, the last with the entity.
    const std::string aged = "sys/aged.tessel";
    ASSERT_TRUE(m_collector.find_ip_info_by_name(m_controller, aged, "old_core", "old_0", found));
    EXPECT_EQ(found.library(), "old_0");
    ASSERT_TRUE(m_collector.find_ip_info_by_name(m_controller, aged, "old_core", "elsewhere", found));
    EXPECT_EQ(found.library(), "old_1");
    // The main entity with another library is scanned like the rest.
    ASSERT_TRUE(m_collector.find_ip_info_by_name(m_controller, aged, "aged", "elsewhere", found));
    EXPECT_EQ(found.entity(), "aged");

    IPMAN_IP_INFO untouched;
    EXPECT_FALSE(m_collector.find_ip_info_by_name(m_controller, aged, "no_such_entity", "", untouched));
    EXPECT_FALSE(m_collector.find_ip_info_by_name(m_controller, "sys/nowhere.tessel", "aged", "aged", untouched));
    // Keys compare exactly: the absolute path is another key.
    EXPECT_FALSE(m_collector.find_ip_info_by_name(m_controller, source(aged), "aged", "aged", untouched));
    EXPECT_EQ(untouched.entity(), IPMAN_NA_STR);
}

TEST_F(RECORD_BUILDER_TEST, LoadForAGenerationFile)
{
    open_project("manager_systems");
    m_collector.collect_ip_files();
    // Two variations are generated from aged.tessel; the first collected one answers, and the
    // path may be written relative to the project or unflattened.
    for (const std::string& path : {source("sys/aged.tessel"), std::string("sys/aged.tessel"),
                                    source("sys/../sys/./aged.tessel")}) {
        INFOS loaded;
        EXPECT_TRUE(m_collector.load_ip_info_for_file(m_controller, path, loaded)) << path;
        EXPECT_EQ(entities_of(loaded, source("sys/aged.tessel")),
                  (LINES{"aged/aged", "old_core/old_0", "old_core/old_1", "ok_core/ok_1"})) << path;
        EXPECT_EQ(loaded.size(), 4u) << path;
    }

    INFOS loaded(1);
    EXPECT_FALSE(m_collector.load_ip_info_for_file(m_controller, source("sys/missing.tessel"), loaded));
    EXPECT_FALSE(m_collector.load_ip_info_for_file(m_controller, "", loaded));
    // An IP list is no generation file.
    EXPECT_FALSE(m_collector.load_ip_info_for_file(m_controller, source("ip/listed.vip"), loaded));
    EXPECT_EQ(loaded.size(), 1u);

    std::vector<std::string> not_loaded;
    INFOS many;
    m_collector.load_ip_info_for_files(m_controller, {"sys/missing.tessel", "ip/beside/beside.v", "sys/mixed.tessel"},
                                       many, not_loaded);
    EXPECT_EQ(not_loaded, LINES{"sys/missing.tessel"});
    EXPECT_EQ(many.size(), 1u + 3u);
    EXPECT_EQ(many.front().entity(), "beside");
}

} // namespace
