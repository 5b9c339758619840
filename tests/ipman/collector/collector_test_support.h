//! @file collector_test_support.h
//! @brief Helpers of the collector tests: scratch copies of the discovery projects, a
//! fixture that opens one and collects, and compact views of records and entities.
#pragma once

#include "ipman_acf_ip_collector.h"

#include <acf/acf.h>
#include <dev/dev.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace collector_test {

//! A scratch directory, removed with the object; path() ends with "/".
class SCRATCH_DIR {
public:
    SCRATCH_DIR()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ipman_collector_XXXXXX").string();
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

inline DEV_FAMILY_ENUM family(const std::string& name) { return dstr_get_dev_family_enum_by_string(name); }

//! An entity as "entity|library|tool name|tool version|generated-by|vendor|top-level".
inline std::string describe(const IPMAN_COLLECTED_ENTITY& e)
{
    return e.entity + "|" + e.library + "|" + e.tool_name + "|" + e.tool_version + "|" + e.generated_by + "|"
        + e.vendor + "|" + e.top_level_comp_name;
}

inline std::vector<std::string> describe(const std::vector<IPMAN_COLLECTED_ENTITY>& entities)
{
    std::vector<std::string> lines;
    for (const IPMAN_COLLECTED_ENTITY& e : entities)
        lines.push_back(describe(e));
    return lines;
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
        std::filesystem::copy(std::string(VORLIN_TEST_DATA_DIR) + "/projects/" + name, dir(),
                              std::filesystem::copy_options::recursive);
        std::string error;
        ASSERT_TRUE(acf()->open_project(dir(), "", error)) << error;
    }

    void collect() { m_collector.collect_ip_files(); }

    //! The record of a key; fails the test (and answers null) when there is none.
    const IPMAN_COLLECTED_IP* record(const std::string& key) const
    {
        for (const IPMAN_COLLECTED_IP& r : records()) {
            if (r.key == key)
                return &r;
        }
        ADD_FAILURE() << "no record keyed " << key;
        return nullptr;
    }

    std::vector<std::string> keys() const
    {
        std::vector<std::string> result;
        for (const IPMAN_COLLECTED_IP& r : records())
            result.push_back(r.key);
        return result;
    }

    const std::vector<IPMAN_COLLECTED_IP>& records() const { return m_collector.get_collected_ips(); }
    const std::string& dir() const { return m_dir.path(); }

    SCRATCH_DIR m_dir;
    IPMAN_ACF_IP_COLLECTOR m_collector;
};

} // namespace collector_test

inline std::ostream& operator<<(std::ostream& out, IPMAN_COLLECTED_IP_KIND kind)
{
    return out << "kind " << static_cast<int>(kind);
}
