//! @file legacy_test_support.h
//! @brief Helpers of the legacy variation tests: the test IP root, scratch directories and
//! scratch projects with a chosen device family.
#pragma once

#include <acf/acf.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace legacy_test {

inline std::string data_file(const std::string& name) {
    return std::string(VORLIN_TEST_DATA_DIR) + "/legacy_variations/" + name;
}

inline std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

//! Points the IP root at the test catalog and catalogue of legacy cores before any test
//! reads either.
class TEST_IP_ROOT : public ::testing::Environment {
public:
    void SetUp() override { ::setenv("IP_ROOTDIR", data_file("ip_root/").c_str(), 1); }
};

//! A fresh directory, removed with its content; path() ends with "/". With a family given,
//! a project of that family (empty: no FAMILY assignment) is open there meanwhile.
class SCRATCH {
public:
    SCRATCH() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ipman_legacy_XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern + "/" : std::string();
    }
    explicit SCRATCH(const std::string& family) : SCRATCH() {
        write("legacy.vpf", "revision main\n");
        write("main.vsf", family.empty() ? "" : "set_global_assignment -name FAMILY \"" + family + "\"\n");
        std::string error;
        m_project = ACF_MANAGER::get_acf_manager()->open_project(m_path + "legacy.vpf", "", error);
        EXPECT_TRUE(m_project) << error;
    }
    ~SCRATCH() {
        if (m_project)
            ACF_MANAGER::get_acf_manager()->close_project();
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    SCRATCH(const SCRATCH&) = delete;
    SCRATCH& operator=(const SCRATCH&) = delete;

    const std::string& path() const { return m_path; }
    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(m_path + name, std::ios::binary) << content;
        return m_path + name;
    }

private:
    std::string m_path;
    bool m_project = false;
};

} // namespace legacy_test
