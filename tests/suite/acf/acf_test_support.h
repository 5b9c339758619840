//! @file acf_test_support.h
//! @brief Helpers of the assignment library tests: a compact view of the open project's
//! assignments and a fixture that starts and ends without an open project.
#pragma once

#include "support/test_support.h"

#include <ostream>

namespace acf_test {

//! One assignment as the tests compare it.
struct ROW {
    std::string name, written, resolved, origin, file;
    int line = 0;
    bool operator==(const ROW& o) const
    {
        return name == o.name && written == o.written && resolved == o.resolved && origin == o.origin &&
               file == o.file && line == o.line;
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
    return ROW{a.get_name(),         a.get_unmodified_value(), a.get_value(),
               origin ? origin : "", a.get_acf_file_name(),    a.get_acf_line_number()};
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

//! Base of the tests: every test starts and ends without an open project and has its own
//! copy of the acf_nested project in dir().
class ACF_TEST : public ::testing::Test {
protected:
    void SetUp() override
    {
        manager()->close_project();
        m_dir.copy_data("projects/acf_nested");
    }
    void TearDown() override
    {
        manager()->reset_filters();
        manager()->close_project();
    }
    static ACF_MANAGER* manager() { return ACF_MANAGER::get_acf_manager(); }
    //! Opens a project and fails the test with the error text when that does not work.
    static void open(const std::string& path, const std::string& revision = "")
    {
        std::string error;
        ASSERT_TRUE(manager()->open_project(path, revision, error)) << error;
    }
    std::string dir() const { return m_dir.dir(); }

    TEMP_DIR m_dir;
};

}  // namespace acf_test
