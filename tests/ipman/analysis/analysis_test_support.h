//! @file analysis_test_support.h
//! @brief Helpers of the upgrade-analysis tests: records, user settings, small catalogs in a
//! scratch IP root, and a fixture holding a controller on the catalog.
#pragma once

#include "analysis/ipman_upgrade_analysis.h"
#include "regen/ipman_ip_regeneration_controller.h"

#include "support/test_support.h"

#include <dev/dev.h>
#include <ipcatalog/ipcatalog.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace analysis_test {

// Crest II, Ember II and Cinder have the older output layout, Crest V and VII the newer.
const DEV_FAMILY_ENUM CREST_II = DEV_FAMILY_ENUM(10), EMBER_II = DEV_FAMILY_ENUM(21),
                      CINDER = DEV_FAMILY_ENUM(31);
const DEV_FAMILY_ENUM CREST_V = DEV_FAMILY_ENUM(12), CREST_VII = DEV_FAMILY_ENUM(14);
const DEV_FAMILY_ENUM AGNOSTIC = DEV_FAMILY_DEVICE_AGNOSTIC;

inline void reread_catalog()
{
    IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false)->update(IPCATALOG_CHECK_CONTENT, true, true);
}

//! A catalog of its own: one catalog file in a scratch IP root, read for the object's life.
class SCOPED_CATALOG {
public:
    explicit SCOPED_CATALOG(const std::string& cards)
    {
        m_root.write("catalog/own.xml", "<ip_catalog>\n" + cards + "\n</ip_catalog>\n");
        m_env.emplace("IP_ROOTDIR", m_root.path() + "/");
        reread_catalog();
    }
    ~SCOPED_CATALOG()
    {
        m_env.reset();
        reread_catalog();
    }
    SCOPED_CATALOG(const SCOPED_CATALOG&) = delete;
    SCOPED_CATALOG& operator=(const SCOPED_CATALOG&) = delete;

private:
    TEMP_DIR m_root;
    std::optional<SCOPED_ENV> m_env;
};

//! A top-level record: generated from generation_file, entered through it as well.
inline IPMAN_IP_INFO variation(const std::string& tool, const std::string& version,
                               const std::string& generation_file,
                               const std::vector<DEV_FAMILY_ENUM>& families = {AGNOSTIC})
{
    IPMAN_IP_INFO info;
    info.tool_name(tool);
    info.tool_version(version);
    info.ip_generation_file(generation_file);
    info.source_file(generation_file);
    info.supported_families() = families;
    return info;
}

//! How one analysis is run directly (without the controller's entry).
struct RUN {
    bool family_trait_test = true;
    bool encrypted = false;
    bool pro_edition = false;
};

//! A controller on the installation's catalog, no project family or part chosen.
class ANALYSIS_TEST : public ::testing::Test {
protected:
    void SetUp() override
    {
        reread_catalog();
        m_controller.set_ip_catalog(IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(false));
    }

    //! Analyses a copy of the record with the catalog objects the controller finds for it.
    IPMAN_IP_INFO analyse(IPMAN_IP_INFO info, const RUN& run = {})
    {
        std::vector<const IPCATALOG_CARD*> candidates;
        const IPCATALOG_CARD* target = m_controller.find_upgrade_target(info, false, candidates);
        IPMAN_IP_UPGRADE_INFO_FUMBLER analyser(
            &info, &m_controller, m_controller.find_catalog_card(info.tool_name()), target, nullptr);
        analyser.set_family_trait_test(run.family_trait_test);
        analyser.set_encrypted(run.encrypted);
        analyser.set_pro_edition(run.pro_edition);
        analyser.analyse();
        return info;
    }

    void read_reference_lists()
    {
        SCOPED_SETTING on("ipman_read_legacy_ip_info_files", "on");
        m_controller.read_reference_lists();
    }

    IPMAN_IP_REGENERATION_CONTROLLER m_controller;
};

}  // namespace analysis_test
