//! @file record_builder_test.cpp
//! @brief Collected variations turned into IP records: fields, sub-IP roll-up, filesets,
//! default list directories, vendors, the required/optional split and the look-ups.
#include "ipman/manager/manager_test_support.h"

#include "discovery/ipman_acf_ip_collector.h"

#include <ipman/ipman_constants.h>

#include <algorithm>

using namespace manager_test;

namespace {

class RECORD_BUILDER_TEST : public PROJECT_TEST {
protected:
    //! Opens a revision of manager_systems, collects it and builds the three lists.
    void build(const std::string& revision = "newer")
    {
        open_project("manager_systems", revision);
        m_collector.collect_ip_files();
        rebuild();
    }
    void rebuild()
    {
        m_all.clear(), m_required.clear(), m_optional.clear();
        m_collector.build_ip_info_lists(m_controller, m_all, m_required, m_optional);
    }
    IPMAN_IP_INFO record(const std::string& source, const std::string& entity,
                         const std::string& library = "") const
    {
        return find_record(m_all, in_project(source), entity, library);
    }

    IPMAN_ACF_IP_COLLECTOR m_collector;
    SCRIPTED_CONTROLLER m_controller;
    INFOS m_all, m_required, m_optional;
};

TEST_F(RECORD_BUILDER_TEST, MainAndSubIpRecordFields)
{
    build();
    // The second entity of the system tool itself (mixed_shell) is no sub-IP.
    EXPECT_EQ(entities_of(m_all, in_project("sys/mixed.tessel")),
              (LINES{"mixed/mixed", "bad_core/bad_0", "ok_core/ok_0"}));
    const IPMAN_IP_INFO main = record("sys/mixed.tessel", "mixed");
    EXPECT_EQ(main.parent_entity(), IPMAN_NA_STR);
    EXPECT_EQ(main.ip_top_level_file(), in_project("sys/mixed/synthesis/mixed.v"));
    EXPECT_EQ(main.vendor_name(), IPMAN_NA_STR);  // no catalog card for the system tool
    const IPMAN_IP_INFO sub = record("sys/mixed.tessel", "bad_core");
    EXPECT_EQ(sub.parent_entity(), "mixed");
    EXPECT_EQ(sub.ip_top_level_file(), "");
    EXPECT_EQ(sub.vendor_name(), IPMAN_OLTRAN_STR);  // a system's sub-IP without vendor
    EXPECT_EQ(record("sys/mixed.tessel", "ok_core").vendor_name(), "Acme Cores");

    // Source file: the file through which the variation entered the project. A system file
    // named directly is its own source; an IP list naming one is the source instead.
    EXPECT_EQ(main.ip_generation_file(), in_project("sys/mixed.tessel"));
    EXPECT_EQ(sub.ip_generation_file(), in_project("sys/mixed.tessel"));
    EXPECT_EQ(record("ip/listed.vip", "listed").ip_generation_file(), in_project("sys/aged.tessel"));

    // A legacy variation without vendor is Oltran's; modules read from a system
    // file take the author of the catalog card of their version, if there is one.
    EXPECT_EQ(record("ip/beside/beside.vip", "beside").vendor_name(), IPMAN_OLTRAN_STR);
    EXPECT_EQ(record("sys/plain.tessel", "ok_core").vendor_name(), "Acme Silicon");
    EXPECT_EQ(record("sys/plain.tessel", "old_core").vendor_name(), IPMAN_NA_STR);

    // The analysis learns how each variation was found.
    for (const char* call : {"beside:010", "plain:001", "mixed:000", "bad_core:000"})
        EXPECT_NE(std::find(m_controller.calls.begin(), m_controller.calls.end(), call),
                  m_controller.calls.end())
            << call;
    EXPECT_EQ(m_controller.calls.size(), m_all.size());
}

TEST_F(RECORD_BUILDER_TEST, SubIpVerdictsRollUpIntoTheMainRecordAndItsList)
{
    m_controller.verdicts["bad_core"].status = IPMAN_INCOMPATIBLE;
    m_controller.verdicts["old_core"].status = IPMAN_VERSION_OLD;
    m_controller.verdicts["eol_core"].eol = true;
    build();
    // An incompatible sub-IP: the whole variation must be upgraded, its cores in place, or
    // into a new IP list when an IP list named the system.
    const IPMAN_IP_INFO mixed = record("sys/mixed.tessel", "mixed");
    EXPECT_EQ(mixed.regen_status(), IPMAN_SUBCORE_NEEDS_REGEN);
    EXPECT_EQ(mixed.upgrade_flow(), IPMAN_TESSEL_UPGRADE_IP_CORES);
    EXPECT_EQ(entities_of(m_required, in_project("sys/mixed.tessel")),
              (LINES{"mixed/mixed", "bad_core/bad_0", "ok_core/ok_0"}));
    EXPECT_EQ(record("ip/listed.vip", "listed").upgrade_flow(), IPMAN_TESSEL_UPGRADE_IP_CORES_TO_VIP);
    // An out-of-date sub-IP: the whole variation may be upgraded.
    EXPECT_EQ(record("sys/aged.tessel", "aged").regen_status(), IPMAN_VERSION_OLD);
    EXPECT_EQ(entities_of(m_optional, in_project("sys/aged.tessel")),
              (LINES{"aged/aged", "old_core/old_0", "old_core/old_1", "ok_core/ok_1"}));
    EXPECT_EQ(entities_of(m_required, in_project("sys/aged.tessel")), LINES{});
    // An end-of-life sub-IP retires the variation: nothing to upgrade, in neither list.
    EXPECT_TRUE(record("sys/retired.tessel", "retired").is_eol());
    EXPECT_EQ(entities_of(m_required, in_project("sys/retired.tessel")), LINES{});
    EXPECT_EQ(entities_of(m_optional, in_project("sys/retired.tessel")), LINES{});

    // Unless the current core carries the sub-IP on; an incompatible sub-IP outranks one with
    // a warning, and an incompatible main record keeps its own status.
    m_controller.verdicts["retired"].eol_sub_ips = {"eol_core"};
    m_controller.verdicts["ok_core"].status = IPMAN_FAMILY_MISMATCH;
    m_controller.verdicts["listed"].status = IPMAN_INCOMPATIBLE_TOOL_ENV;
    rebuild();
    EXPECT_FALSE(record("sys/retired.tessel", "retired").is_eol());
    EXPECT_EQ(record("sys/mixed.tessel", "mixed").regen_status(), IPMAN_SUBCORE_NEEDS_REGEN);
    EXPECT_EQ(record("ip/listed.vip", "listed").regen_status(), IPMAN_INCOMPATIBLE_TOOL_ENV);
}

TEST_F(RECORD_BUILDER_TEST, UnspecificMainFilesetsBecomeWhatAllRecordsGenerate)
{
    m_controller.verdicts["aged"].filesets = {IPMAN_FILESET_BLOCK_SYMBOL};
    m_controller.verdicts["old_core"].filesets = {IPMAN_FILESET_SIM_VERILOG, IPMAN_FILESET_SIM_VHDL};
    m_controller.verdicts["ok_core"].filesets = {IPMAN_FILESET_SIM_VHDL};
    m_controller.verdicts["mixed"].filesets = {IPMAN_FILESET_SYNTHESIS};
    build();
    EXPECT_EQ(record("sys/aged.tessel", "aged").const_supported_filesets(), FILESETS{IPMAN_FILESET_SIM_VHDL});
    EXPECT_EQ(record("sys/mixed.tessel", "mixed").const_supported_filesets(),
              FILESETS{IPMAN_FILESET_SYNTHESIS});
    EXPECT_EQ(record("sys/retired.tessel", "retired").const_supported_filesets(), FILESETS{});
}

TEST_F(RECORD_BUILDER_TEST, ListInDefaultDirectoryInBothLayouts)
{
    // Generated lists: DIR/BASE/synthesis/ in the newer layout, DIR/BASE/ in the older.
    // Legacy lists beside their variation file, whether named relative or not.
    struct CASE {
        const char* source;
        const char* entity;
        IPMAN_TERNARY_BOOLEAN newer, older;
    };
    const CASE cases[] = {
        {"sys/gen/synthesis/gen.vip", "gen", IPMAN_TERNARY_TRUE, IPMAN_TERNARY_FALSE},
        {"sys/old/old.vip", "old", IPMAN_TERNARY_FALSE, IPMAN_TERNARY_TRUE},
        {"ip/listed.vip", "listed", IPMAN_TERNARY_FALSE, IPMAN_TERNARY_FALSE},
        {"ip/beside/beside.vip", "beside", IPMAN_TERNARY_TRUE, IPMAN_TERNARY_TRUE},
        {"ip/away/away.vip", "away", IPMAN_TERNARY_FALSE, IPMAN_TERNARY_FALSE},
        {"sys/mixed.tessel", "mixed", IPMAN_TERNARY_UNKNOWN, IPMAN_TERNARY_UNKNOWN},
        {"sys/gen/synthesis/gen.vip", "ok_core", IPMAN_TERNARY_UNKNOWN, IPMAN_TERNARY_UNKNOWN},
    };
    for (const char* revision : {"newer", "older"}) {
        build(revision);
        for (const CASE& c : cases)
            EXPECT_EQ(record(c.source, c.entity).vip_in_default_directory(),
                      revision == std::string("newer") ? c.newer : c.older)
                << revision << " " << c.source;
    }
}

TEST_F(RECORD_BUILDER_TEST, FindByKeyEntityAndLibrary)
{
    open_project("manager_systems");
    m_collector.collect_ip_files();
    auto library_found = [this](const std::string& key, const std::string& entity,
                                const std::string& library) {
        IPMAN_IP_INFO found;
        return m_collector.find_ip_info_by_name(m_controller, key, entity, library, found) ? found.library()
                                                                                           : "-";
    };
    EXPECT_EQ(library_found("sys/aged.tessel", "aged", "aged"), "aged");
    EXPECT_EQ(library_found("sys/aged.tessel", "old_core", "old_0"), "old_0");
    // Without the library: the last record with the entity, the main record's too.
    EXPECT_EQ(library_found("sys/aged.tessel", "old_core", "elsewhere"), "old_1");
    EXPECT_EQ(library_found("sys/aged.tessel", "aged", "elsewhere"), "aged");
    EXPECT_EQ(library_found("sys/aged.tessel", "no_such_entity", ""), "-");
    EXPECT_EQ(library_found("sys/nowhere.tessel", "aged", "aged"), "-");
    EXPECT_EQ(library_found(in_project("sys/aged.tessel"), "aged", "aged"), "-");  // keys compare exactly
}

TEST_F(RECORD_BUILDER_TEST, LoadForGenerationFiles)
{
    open_project("manager_systems");
    m_collector.collect_ip_files();
    // Two variations are generated from aged.tessel: the first collected answers, however
    // the path is written.
    for (const std::string& path : {in_project("sys/aged.tessel"), std::string("sys/../sys/./aged.tessel")}) {
        INFOS loaded;
        EXPECT_TRUE(m_collector.load_ip_info_for_file(m_controller, path, loaded)) << path;
        EXPECT_EQ(entities_of(loaded, in_project("sys/aged.tessel")).size(), loaded.size()) << path;
        EXPECT_EQ(loaded.size(), 4u) << path;
    }
    INFOS loaded(1);
    for (const std::string& path :
         {in_project("sys/missing.tessel"), std::string(), in_project("ip/listed.vip")})
        EXPECT_FALSE(m_collector.load_ip_info_for_file(m_controller, path, loaded)) << path;
    EXPECT_EQ(loaded.size(), 1u);

    LINES not_loaded;
    m_collector.load_ip_info_for_files(m_controller, {"sys/missing.tessel", "ip/beside/beside.v"}, loaded,
                                       not_loaded);
    EXPECT_EQ(not_loaded, LINES{"sys/missing.tessel"});
    EXPECT_EQ(entities_of(loaded, in_project("ip/beside/beside.vip")), LINES{"beside/"});
}

}  // namespace
