//! @file collector_test_support.h
//! @brief Helpers of the collector tests: a fixture that opens a scratch copy of a
//! discovery project and collects, and compact views of records and entities.
#pragma once

#include "discovery/ipman_acf_ip_collector.h"

#include "support/test_support.h"

#include <dev/dev.h>

namespace collector_test {

//! An entity as "entity|library|tool name|tool version|generated-by|vendor|top-level".
inline std::string describe(const IPMAN_COLLECTED_ENTITY& e)
{
    return e.entity + "|" + e.library + "|" + e.tool_name + "|" + e.tool_version + "|" + e.generated_by +
           "|" + e.vendor + "|" + e.top_level_comp_name;
}

inline std::vector<std::string> describe(const std::vector<IPMAN_COLLECTED_ENTITY>& entities)
{
    std::vector<std::string> lines;
    for (const IPMAN_COLLECTED_ENTITY& e : entities)
        lines.push_back(describe(e));
    return lines;
}

inline const char* kind_name(IPMAN_COLLECTED_IP_KIND kind)
{
    switch (kind) {
    case IPMAN_COLLECTED_IP_KIND::LEGACY_VARIATION:
        return "legacy";
    case IPMAN_COLLECTED_IP_KIND::TESSEL_SYSTEM:
        return "tessel_system";
    case IPMAN_COLLECTED_IP_KIND::TESSEL_LIST:
        return "tessel_list";
    case IPMAN_COLLECTED_IP_KIND::GWIP_FILE:
        return "gwip_file";
    case IPMAN_COLLECTED_IP_KIND::GWIP_LIST:
        return "gwip_list";
    case IPMAN_COLLECTED_IP_KIND::GWIP_COMPONENT:
        return "gwip_component";
    default:
        return "unclassified";
    }
}

inline const char* language_name(IPMAN_RTL_LANGUAGE_ENUM language)
{
    return language == IPMAN_RTL_VERILOG ? "verilog" : language == IPMAN_RTL_VHDL ? "vhdl" : "-";
}

//! A record on one line, the project directory written as "$P/":
//! "key | kind base | main | top | core version | language | flags | families | requirements";
//! flags are E(ncrypted) S(tandalone) F(rom system file) W(arnings) X (errors), "-" when unset.
inline std::string summary(const IPMAN_COLLECTED_IP& r, const std::string& project_dir)
{
    auto shown = [&project_dir](std::string path) {
        if (!project_dir.empty() && path.rfind(project_dir, 0) == 0)
            path = "$P/" + path.substr(project_dir.size());
        return path;
    };
    std::string flags;
    for (auto [set, letter] : {std::pair{r.encrypted, 'E'},
                               {r.standalone, 'S'},
                               {r.from_system_file, 'F'},
                               {r.has_warnings, 'W'},
                               {r.has_errors, 'X'}})
        flags += set ? letter : '-';
    std::string families;
    for (DEV_FAMILY_ENUM f : r.supported_families)
        families += (families.empty() ? "" : ",") + dstr_get_user_string(f);
    std::string requirements;
    for (const auto& [name, value] : r.device_requirements)
        requirements += (requirements.empty() ? "" : ",") + name + "=" + value;
    return shown(r.key) + " | " + kind_name(r.kind) + " " + r.base_name + " | " + shown(r.main_file) + " | " +
           shown(r.top_level_file) + " | " + r.core_name + " " + r.core_version + " | " +
           language_name(r.language) + " | " + flags + " | " + families + " | " + requirements;
}

//! Base of the tests that collect a discovery project from tests/data/projects. The
//! project is copied first so that the tests see absolute paths of their own.
class COLLECTOR_TEST : public ::testing::Test {
protected:
    void SetUp() override { acf()->close_project(); }
    void TearDown() override
    {
        acf()->reset_filters();
        acf()->close_project();
    }

    static ACF_MANAGER* acf() { return ACF_MANAGER::get_acf_manager(); }

    //! Copies the project and opens it; fails the test when it does not open.
    void open_project(const std::string& name)
    {
        m_dir.copy_data("projects/" + name);
        std::string error;
        ASSERT_TRUE(acf()->open_project(dir(), "", error)) << error;
    }

    void collect() { m_collector.collect_ip_files(); }

    //! The record of a key; fails the test (and answers null) when there is none.
    const IPMAN_COLLECTED_IP* record(const std::string& key) const
    {
        for (const IPMAN_COLLECTED_IP& r : records()) {
            if (r.key == key) return &r;
        }
        ADD_FAILURE() << "no record keyed " << key;
        return nullptr;
    }

    //! The entities of a key's record, as describe() shows them.
    std::vector<std::string> entities_of(const std::string& key) const
    {
        const IPMAN_COLLECTED_IP* r = record(key);
        return r ? describe(r->entities) : std::vector<std::string>{};
    }

    //! Every record as summary() shows it.
    std::vector<std::string> summaries() const
    {
        std::vector<std::string> result;
        for (const IPMAN_COLLECTED_IP& r : records())
            result.push_back(summary(r, dir()));
        return result;
    }

    const std::vector<IPMAN_COLLECTED_IP>& records() const { return m_collector.get_collected_ips(); }
    std::string dir() const { return m_dir.dir(); }

    TEMP_DIR m_dir;
    IPMAN_ACF_IP_COLLECTOR m_collector;
};

}  // namespace collector_test
