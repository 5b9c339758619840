//! @file legacy_test_support.h
//! @brief Helpers of the legacy variation tests: the test IP root, scratch directories and
//! a scratch project with a chosen device family.
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

inline void write_text(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

//! Points the IP root at the test catalog and catalogue of legacy cores before any test
//! reads either.
class TEST_IP_ROOT : public ::testing::Environment {
public:
    void SetUp() override { ::setenv("IP_ROOTDIR", data_file("ip_root/").c_str(), 1); }
};

//! A fresh directory under the system temporary directory, removed with its content;
//! path() ends with "/".
class SCRATCH_DIR {
public:
    SCRATCH_DIR() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ipman_legacy_XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) ? pattern + "/" : std::string();
    }
    ~SCRATCH_DIR() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    SCRATCH_DIR(const SCRATCH_DIR&) = delete;
    SCRATCH_DIR& operator=(const SCRATCH_DIR&) = delete;

    const std::string& path() const { return m_path; }
    std::string write(const std::string& name, const std::string& content) const {
        write_text(m_path + name, content);
        return m_path + name;
    }
    std::string copy_data_file(const std::string& name) const {
        return write(name, read_text(data_file(name)));
    }

private:
    std::string m_path;
};

//! A project opened in a scratch directory for the life of the object; an empty family
//! leaves the project without a FAMILY assignment.
class SCRATCH_PROJECT {
public:
    explicit SCRATCH_PROJECT(const std::string& family) {
        m_dir.write("legacy.vpf", "revision main\n");
        m_dir.write("main.vsf", family.empty() ? "" : "set_global_assignment -name FAMILY \"" + family + "\"\n");
        std::string error;
        m_open = ACF_MANAGER::get_acf_manager()->open_project(m_dir.path() + "legacy.vpf", "", error);
        EXPECT_TRUE(m_open) << error;
    }
    ~SCRATCH_PROJECT() { ACF_MANAGER::get_acf_manager()->close_project(); }
    SCRATCH_PROJECT(const SCRATCH_PROJECT&) = delete;
    SCRATCH_PROJECT& operator=(const SCRATCH_PROJECT&) = delete;

    const SCRATCH_DIR& dir() const { return m_dir; }

private:
    SCRATCH_DIR m_dir;
    bool m_open = false;
};

} // namespace legacy_test
