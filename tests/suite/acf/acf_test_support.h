//! @file acf_test_support.h
//! @brief Helpers of the assignment library tests: scratch copies of test projects, file
//! text, and a compact view of the open project's assignments.
#pragma once

#include <acf/acf.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace acf_test {

inline std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void write_text(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

//! A scratch directory, removed with the object; path() ends with "/".
class SCRATCH_DIR {
public:
    SCRATCH_DIR()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "acf_test_XXXXXX").string();
        m_path = std::string(mkdtemp(pattern.data())) + "/";
    }
    ~SCRATCH_DIR() { std::error_code ignored; std::filesystem::remove_all(m_path, ignored); }
    SCRATCH_DIR(const SCRATCH_DIR&) = delete;
    SCRATCH_DIR& operator=(const SCRATCH_DIR&) = delete;
    const std::string& path() const { return m_path; }
    //! Copies tests/data/projects/NAME into the scratch directory.
    void copy_project(const std::string& name) const
    {
        std::filesystem::copy(std::string(VORLIN_TEST_DATA_DIR) + "/projects/" + name, m_path,
                              std::filesystem::copy_options::recursive);
    }
private:
    std::string m_path;
};

//! One assignment as the tests compare it.
struct ROW {
    std::string name, written, resolved, origin, file;
    int line = 0;
    bool operator==(const ROW& o) const
    {
        return name == o.name && written == o.written && resolved == o.resolved && origin == o.origin
            && file == o.file && line == o.line;
    }
};

inline std::ostream& operator<<(std::ostream& out, const ROW& row)
{
    return out << row.name << " '" << row.written << "' -> '" << row.resolved << "' origin '" << row.origin
               << "' at " << row.file << ":" << row.line;
}

inline ROW row_of(const ACF_ASSIGNMENT& a)
{
    const char* origin = a.get_argument_value(ACF_ARG_ORIGIN);
    return ROW{a.get_name(), a.get_unmodified_value(), a.get_value(), origin ? origin : "",
               a.get_acf_file_name(), a.get_acf_line_number()};
}

inline std::vector<ROW> all_rows()
{
    ACF_ASSIGNMENT_LIST list;
    ACF_MANAGER::get_acf_manager()->get_all_assignments(list, false);
    std::vector<ROW> rows;
    for (const ACF_ASSIGNMENT* a : list)
        rows.push_back(row_of(*a));
    return rows;
}

//! "NAME=written" of each assignment matching the manager's filters, in order.
inline std::vector<std::string> filtered_names()
{
    ACF_ASSIGNMENT_LIST list;
    ACF_MANAGER::get_acf_manager()->get_revision_manager()->get_global_assignment_coll(nullptr, list, true);
    std::vector<std::string> names;
    for (const ACF_ASSIGNMENT* a : list)
        names.push_back(a->get_name());
    return names;
}

//! Base of the tests: every test starts and ends without an open project.
class ACF_TEST : public ::testing::Test {
protected:
    void SetUp() override { manager()->close_project(); }
    void TearDown() override { manager()->reset_filters(); manager()->close_project(); }
    static ACF_MANAGER* manager() { return ACF_MANAGER::get_acf_manager(); }
    //! Opens a project and fails the test with the error text when that does not work.
    static void open(const std::string& path, const std::string& revision = "")
    {
        std::string error;
        ASSERT_TRUE(manager()->open_project(path, revision, error)) << error;
    }
};

} // namespace acf_test
