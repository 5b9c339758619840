//! @file rdb_report_gen.cpp
//! @brief The text copy of a report.
#include <rdb/rdb.h>

std::string RDB_REPORT_GEN::render() const
{
    return m_title + "\n";
}

bool RDB_REPORT_GEN::write_report_files(const std::string&, bool, std::string* error) const
{
    if (error) *error = "report files are not available in this build";
    return false;
}
