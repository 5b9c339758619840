//! @file design_test_support.h
//! @brief The elaborated test design: whether yosys is there, and a scratch copy of the
//! design-hierarchy test project, open and elaborated.
#pragma once

#include "support/test_support.h"

#include <hdb/hdb.h>

#include <sstream>

#include <unistd.h>

//! The design tests skip when yosys cannot be started.
inline bool yosys_installed()
{
    const char* path = std::getenv("PATH");
    std::istringstream directories(path ? path : "");
    for (std::string directory; std::getline(directories, directory, ':');)
        if (!directory.empty() && ::access((directory + "/yosys").c_str(), X_OK) == 0) return true;
    return false;
}

#define SKIP_WITHOUT_YOSYS()                                                                                 \
    if (!yosys_installed()) GTEST_SKIP() << "yosys is not installed"

//! tests/data/projects/design_hierarchy, copied, opened and elaborated for the object's life.
class ELABORATED_TEST_PROJECT {
public:
    ELABORATED_TEST_PROJECT()
    {
        m_dir.copy_data("projects/design_hierarchy");
        ACF_MANAGER* acf = ACF_MANAGER::get_acf_manager();
        m_open = acf->open_project(m_dir.file("design_hierarchy.vpf"), "", m_error);
        if (m_open) m_elaborated = hdb_elaborate_active_revision(m_error);
    }
    ~ELABORATED_TEST_PROJECT()
    {
        if (m_open) ACF_MANAGER::get_acf_manager()->close_project();
    }
    ELABORATED_TEST_PROJECT(const ELABORATED_TEST_PROJECT&) = delete;
    ELABORATED_TEST_PROJECT& operator=(const ELABORATED_TEST_PROJECT&) = delete;

    bool ok() const { return m_elaborated; }
    const std::string& error() const { return m_error; }
    std::string file(const std::string& relative) const { return m_dir.file(relative); }
    HDB_DESIGN& design() const { return *hdb_get_elaborated_design(); }

private:
    TEMP_DIR m_dir;
    bool m_open = false;
    bool m_elaborated = false;
    std::string m_error;
};
