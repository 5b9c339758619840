//! @file rdb_store.cpp
//! @brief Reports held by the process, per revision and type. Stored in memory only until
//! the database store lands.
#include <rdb/rdb.h>

#include <map>
#include <utility>

namespace {

std::string g_database_path;
std::map<std::pair<std::string, int>, std::unique_ptr<RDB_REPORT>> g_reports;

}  // namespace

void RDB_REPORT::set_database_path(const std::string& path)
{
    if (path != g_database_path) g_reports.clear();
    g_database_path = path;
}

const std::string& RDB_REPORT::get_database_path()
{
    return g_database_path;
}

RDB_REPORT* RDB_REPORT::get_report(const std::string& revision, int type)
{
    auto it = g_reports.find({revision, type});
    return it == g_reports.end() ? nullptr : it->second.get();
}

RDB_REPORT* RDB_REPORT::add_report(std::unique_ptr<RDB_REPORT> report)
{
    auto& slot = g_reports[{report->get_revision(), report->get_type()}];
    slot = std::move(report);
    return slot.get();
}

bool RDB_REPORT::write_report(const RDB_REPORT&, std::string* error)
{
    if (error) *error = "the report database is not available in this build";
    return false;
}

void RDB_REPORT::forget_reports()
{
    g_reports.clear();
}

std::string RDB_REPORT_GEN::render() const
{
    return m_title + "\n";
}

bool RDB_REPORT_GEN::write_report_files(const std::string&, bool, std::string* error) const
{
    if (error) *error = "report files are not available in this build";
    return false;
}
