//! @file manager_test_support.h
//! @brief Helpers of the record-building and manager tests: scratch copies of test projects
//! opened with the test catalog, an analysis scripted per entity, record look-ups.
#pragma once

#include "regen/ipman_ip_regeneration_controller.h"

#include "support/test_support.h"

#include <ipcatalog/ipcatalog.h>

#include <map>
#include <set>

namespace manager_test {

using INFOS = std::vector<IPMAN_IP_INFO>;
using FILESETS = std::set<IPMAN_REGEN_FILESET>;
using LINES = std::vector<std::string>;

//! What the scripted analysis gives the records of one entity name.
struct VERDICT {
    IPMAN_IP_REGEN_STATUS_ENUM status = IPMAN_COMPATIBLE;
    bool eol = false;
    FILESETS filesets;
    std::set<std::string> eol_sub_ips;
};

//! A controller whose analysis answers from a table keyed by entity name (COMPATIBLE when
//! absent), so that roll-up and split meet known verdicts; the flow step stays the real one.
//! Each call is logged as "entity:<encrypted><legacy cards><adopt version>" in 0/1 digits.
class SCRIPTED_CONTROLLER : public IPMAN_IP_REGENERATION_CONTROLLER {
public:
    void analyse_ip_info(bool encrypted, bool search_legacy_cards, bool adopt_catalog_version,
                         const std::map<std::string, std::string>&, IPMAN_IP_INFO& info) override
    {
        calls.push_back(info.entity() + ":" + std::to_string(encrypted) +
                        std::to_string(search_legacy_cards) + std::to_string(adopt_catalog_version));
        const VERDICT verdict = verdicts.count(info.entity()) ? verdicts.at(info.entity()) : VERDICT();
        info.regen_status(verdict.status);
        info.is_eol(verdict.eol);
        info.supported_filesets() = verdict.filesets;
        info.supported_eol_sub_ips() = verdict.eol_sub_ips;
    }

    void analyse_main_ip_info(bool encrypted, bool search_legacy_cards, bool adopt_catalog_version,
                              const std::map<std::string, std::string>& requirements,
                              const IPMAN_RECORD_ROLL_UP& roll_up, IPMAN_IP_INFO& info) override
    {
        analyse_ip_info(encrypted, search_legacy_cards, adopt_catalog_version, requirements, info);
        if (roll_up(info)) redetermine_upgrade_flow(info);
    }

    std::map<std::string, VERDICT> verdicts;
    LINES calls;
};

//! Tests on scratch copies of test projects, with the manager_systems test catalog as the
//! process's IP catalog; the installation's catalog is back after each test.
class PROJECT_TEST : public ::testing::Test {
protected:
    static std::string test_ip_root() { return test_data("projects/manager_systems/ip_root/"); }
    static ACF_MANAGER* acf() { return ACF_MANAGER::get_acf_manager(); }
    static IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog()
    {
        return IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false);
    }

    void SetUp() override { IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(true); }
    void TearDown() override
    {
        acf()->close_project();
        m_ip_root.reset();
        IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(true);
    }

    //! Opens a revision (empty: the active one) of a scratch copy of a test project.
    void open_project(const std::string& name, const std::string& revision = "")
    {
        if (!std::filesystem::exists(m_dir.file(name))) m_dir.copy_data("projects/" + name, name);
        acf()->close_project();
        std::string error;
        ASSERT_TRUE(acf()->open_project(m_dir.file(name), revision, error)) << error;
        m_project = m_dir.file(name) + "/";
    }
    std::string in_project(const std::string& relative) const { return m_project + relative; }

    TEMP_DIR m_dir;
    std::optional<SCOPED_ENV> m_ip_root{std::in_place, "IP_ROOTDIR", test_ip_root()};
    std::string m_project;
};

//! The record of an entity (and library, when given) among those of one source file; fails
//! the test and answers a default record when there is none.
inline IPMAN_IP_INFO find_record(const INFOS& infos, const std::string& source_file,
                                 const std::string& entity, const std::string& library = "")
{
    for (const IPMAN_IP_INFO& info : infos) {
        if (info.source_file() == source_file && info.entity() == entity &&
            (library.empty() || info.library() == library))
            return info;
    }
    ADD_FAILURE() << "no record of entity " << entity << " from " << source_file;
    return IPMAN_IP_INFO();
}

//! "entity/library" of each record of one source file, in order.
inline LINES entities_of(const INFOS& infos, const std::string& source_file)
{
    LINES entities;
    for (const IPMAN_IP_INFO& info : infos) {
        if (info.source_file() == source_file) entities.push_back(info.entity() + "/" + info.library());
    }
    return entities;
}

}  // namespace manager_test
