//! @file manager_test_support.h
//! @brief Helpers of the record-building and manager tests: scratch copies of test projects
//! opened with the test catalog, an analysis scripted per entity, record look-ups.
#pragma once

#include "ipman_ip_regeneration_controller.h"

#include <acf/acf.h>
#include <ipcatalog/ipcatalog.h>
#include <ipman/ipman_ip_info.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace manager_test {

using INFOS = std::vector<IPMAN_IP_INFO>;
using FILESETS = std::set<IPMAN_REGEN_FILESET>;

//! The catalog of the test projects' cores (ok_core, old_core, bad_core, eol_core, kv_counter).
inline std::string test_ip_root() { return std::string(VORLIN_TEST_DATA_DIR) + "/projects/manager_systems/ip_root/"; }

//! A scratch directory, removed with the object; path() ends with "/".
class SCRATCH_DIR {
public:
    SCRATCH_DIR()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ipman_manager_XXXXXX").string();
        m_path = std::string(::mkdtemp(pattern.data())) + "/";
    }
    ~SCRATCH_DIR()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    SCRATCH_DIR(const SCRATCH_DIR&) = delete;
    SCRATCH_DIR& operator=(const SCRATCH_DIR&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

//! What the scripted analysis gives the records of one entity name.
struct VERDICT {
    IPMAN_IP_REGEN_STATUS_ENUM status = IPMAN_COMPATIBLE;
    bool eol = false;
    FILESETS filesets;
    std::set<std::string> eol_sub_ips;
};

//! One call of the analysis entry, with the flags it was given.
struct ANALYSIS_CALL {
    std::string entity;
    bool encrypted;
    bool search_legacy_cards;
    bool adopt_catalog_version;
};

//! A controller whose analysis answers from a table keyed by entity name (COMPATIBLE when
//! absent), so that the roll-up and the split can be checked against known verdicts. The
//! flow step after a roll-up stays the real one.
class SCRIPTED_CONTROLLER : public IPMAN_IP_REGENERATION_CONTROLLER {
public:
    void analyse_ip_info(bool encrypted, bool search_legacy_cards, bool adopt_catalog_version,
                         const std::map<std::string, std::string>&, IPMAN_IP_INFO& info) override
    {
        calls.push_back({info.entity(), encrypted, search_legacy_cards, adopt_catalog_version});
        const VERDICT verdict = verdicts.count(info.entity()) ? verdicts.at(info.entity()) : VERDICT();
        info.regen_status(verdict.status);
        info.is_eol(verdict.eol);
        info.supported_filesets() = verdict.filesets;
        info.supported_eol_sub_ips() = verdict.eol_sub_ips;
        info.upgrade_flow(IPMAN_NO_UPGRADE);
    }

    std::map<std::string, VERDICT> verdicts;
    std::vector<ANALYSIS_CALL> calls;
};

//! Base of the tests on a scratch copy of a test project, opened with the test catalog as
//! the process's IP catalog. The installation's catalog is back after each test.
class PROJECT_TEST : public ::testing::Test {
protected:
    void SetUp() override
    {
        acf()->close_project();
        ::setenv("IP_ROOTDIR", test_ip_root().c_str(), 1);
        IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(true);
    }
    void TearDown() override
    {
        acf()->reset_filters();
        acf()->close_project();
        ::unsetenv("IP_ROOTDIR");
        IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(true);
    }

    static ACF_MANAGER* acf() { return ACF_MANAGER::get_acf_manager(); }
    static IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog() { return IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false); }

    //! Copies the project (once per test) and opens a revision of it; an empty revision
    //! opens the active one.
    void open_project(const std::string& name, const std::string& revision = "")
    {
        if (!std::filesystem::exists(dir() + name))
            std::filesystem::copy(std::string(VORLIN_TEST_DATA_DIR) + "/projects/" + name, dir() + name,
                                  std::filesystem::copy_options::recursive);
        acf()->close_project();
        std::string error;
        ASSERT_TRUE(acf()->open_project(dir() + name, revision, error)) << error;
        m_project = dir() + name + "/";
    }

    //! Absolute path of a file of the open project.
    std::string in_project(const std::string& relative) const { return m_project + relative; }

    const std::string& dir() const { return m_dir.path(); }

    SCRATCH_DIR m_dir;
    std::string m_project;
};

//! The record of an entity among the records of one source file; fails the test and
//! answers null when there is none.
inline const IPMAN_IP_INFO* find_record(const INFOS& infos, const std::string& source_file, const std::string& entity,
                                        const std::string& library = "")
{
    for (const IPMAN_IP_INFO& info : infos) {
        if (info.source_file() == source_file && info.entity() == entity && (library.empty() || info.library() == library))
            return &info;
    }
    ADD_FAILURE() << "no record of entity " << entity << " from " << source_file;
    return nullptr;
}

//! "entity" of each record of one source file, in order.
inline std::vector<std::string> entities_of(const INFOS& infos, const std::string& source_file)
{
    std::vector<std::string> entities;
    for (const IPMAN_IP_INFO& info : infos) {
        if (info.source_file() == source_file)
            entities.push_back(info.entity() + "/" + info.library());
    }
    return entities;
}

} // namespace manager_test
