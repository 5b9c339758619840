//! @file rdb_store.cpp
//! @brief Reports held by the process, per revision and type, and their storage in the
//! project's report database.
#include <rdb/rdb.h>

#include "rdb_report_rows.h"
#include "rdb_schema.h"
#include "rdb_sqlite.h"

#include <fio/fio.h>
#include <msg/msg.h>

#include <fmt/format.h>

#include <map>
#include <new>
#include <utility>

#include <sys/stat.h>

namespace {

std::string g_database_path;
std::map<std::pair<std::string, int>, std::unique_ptr<RDB_REPORT>> g_reports;

//! Only a regular file is opened as the database; anything else at that path is refused.
void require_regular_file_or_nothing(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        throw RDB_STORE_ERROR(fmt::format("the report database {} is not a regular file", path));
}

RDB_SQLITE_DATABASE open_database(const std::string& path, RDB_SQLITE_DATABASE::MODE mode)
{
    require_regular_file_or_nothing(path);
    RDB_SQLITE_DATABASE db(path, mode, RDB_BUSY_TIMEOUT_MS);
    db.execute("PRAGMA foreign_keys = ON");
    return db;
}

void write_to_database(const std::string& path, const RDB_REPORT& report)
{
    const std::string folder = FIO_PATH(path).directory();
    if (!folder.empty() && !FIO_FILE_SYSTEM::is_directory(folder) &&
        !FIO_FILE_SYSTEM::make_directories(folder))
        throw RDB_STORE_ERROR(fmt::format("cannot create the folder {} for the report database", folder));
    RDB_SQLITE_DATABASE db = open_database(path, RDB_SQLITE_DATABASE::MODE::CREATE);
    RDB_SQLITE_TRANSACTION transaction(db, RDB_SQLITE_TRANSACTION::KIND::WRITE);
    rdb_prepare_schema_for_writing(db, path);
    rdb_write_report_rows(db, report);
    transaction.commit();
}

std::unique_ptr<RDB_REPORT> read_from_database(const std::string& path, const std::string& revision, int type)
{
    if (!FIO_FILE_SYSTEM::exists(path)) return nullptr;
    RDB_SQLITE_DATABASE db = open_database(path, RDB_SQLITE_DATABASE::MODE::EXISTING);
    RDB_SQLITE_TRANSACTION transaction(db, RDB_SQLITE_TRANSACTION::KIND::READ);
    if (!rdb_check_schema_for_reading(db, path)) return nullptr;
    return rdb_read_report_rows(db, revision, type);
}

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
    if (it != g_reports.end()) return it->second.get();
    if (g_database_path.empty()) return nullptr;
    try {
        std::unique_ptr<RDB_REPORT> stored = read_from_database(g_database_path, revision, type);
        return stored ? add_report(std::move(stored)) : nullptr;
    } catch (const RDB_STORE_ERROR& e) {
        msg_post_text(MSG_POST_WARNING,
                      fmt::format("The stored report of revision {} cannot be read: {}", revision, e.what()));
    } catch (const std::bad_alloc&) {
        msg_post_text(
            MSG_POST_WARNING,
            fmt::format("The stored report of revision {} cannot be read: out of memory", revision));
    }
    return nullptr;
}

RDB_REPORT* RDB_REPORT::add_report(std::unique_ptr<RDB_REPORT> report)
{
    auto& slot = g_reports[{report->get_revision(), report->get_type()}];
    slot = std::move(report);
    return slot.get();
}

bool RDB_REPORT::write_report(const RDB_REPORT& report, std::string* error)
{
    std::string reason;
    if (g_database_path.empty()) {
        reason = "no report database is set (no project is open)";
    } else {
        try {
            write_to_database(g_database_path, report);
            return true;
        } catch (const RDB_STORE_ERROR& e) {
            reason = e.what();
        } catch (const std::bad_alloc&) {
            reason = "out of memory while storing the report";
        } catch (const std::exception& e) {
            reason = e.what();
        }
    }
    if (error)
        *error = fmt::format("cannot store the report of revision {}: {}", report.get_revision(), reason);
    return false;
}

void RDB_REPORT::forget_reports()
{
    g_reports.clear();
}
