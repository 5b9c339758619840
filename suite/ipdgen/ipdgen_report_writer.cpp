//! @file ipdgen_report_writer.cpp
//! @brief The "Port Differences" table of a report, one row per difference of each pair.
#include <ipdgen/ipdgen.h>
#include <rdb/rdb.h>

namespace {

std::string shown_file(const std::string& path, const std::string& version)
{
    return version.empty() ? path : path + " (" + version + ")";
}

void add_pair_rows(const IPDGEN_HDL_PAIR& pair, RDB_TABLE_OBJECT& table)
{
    const std::string new_file = shown_file(pair.new_file, pair.new_version);
    const std::string old_file = shown_file(pair.old_file, pair.old_version);
    std::vector<IPDGEN_PORT> old_ports, new_ports;
    std::string old_error, new_error;
    const bool old_read = ipdgen_read_ports(pair.old_file, pair.old_type, old_ports, &old_error);
    const bool new_read = ipdgen_read_ports(pair.new_file, pair.new_type, new_ports, &new_error);
    if (!old_read || !new_read) {
        table.add_row(rdb_create_row({new_file, old_file, "", "unreadable", old_error, new_error}));
        return;
    }
    // VHDL names and types are case-insensitive, so a pair with a VHDL side compares that way.
    const bool ignore_case = pair.old_type == FIO_EXT_VHDL || pair.new_type == FIO_EXT_VHDL;
    const std::vector<IPDGEN_PORT_CHANGE> changes = ipdgen_compare_ports(old_ports, new_ports, ignore_case);
    if (changes.empty()) table.add_row(rdb_create_row({new_file, old_file, "", "none", "", ""}));
    for (const IPDGEN_PORT_CHANGE& change : changes) {
        table.add_row(rdb_create_row(
            {new_file, old_file, change.port, change.change, change.old_value, change.new_value}));
    }
}

}  // namespace

bool IPDGEN_REPORT_WRITER::write_report(RDB_REPORT* report, const std::string& revision)
{
    return write_report(report, revision, nullptr);
}

bool IPDGEN_REPORT_WRITER::write_report(RDB_REPORT* report, const std::string&, std::string* error)
{
    if (report == nullptr) {
        if (error) *error = "there is no report to write the port differences into";
        return false;
    }
    std::unique_ptr<RDB_TABLE_OBJECT> table = rdb_create_table(TABLE_NAME);
    table->add_row(rdb_create_row({"New File", "Old File", "Port", "Change", "Old", "New"}));
    for (const IPDGEN_HDL_PAIR& pair : IPDGEN_PORTS_INFO::get_pairs())
        add_pair_rows(pair, *table);

    RDB_FOLDER_OBJECT* folder = report->get_current_folder();
    if (folder == nullptr) folder = report->get_main_folder();
    if (folder == nullptr) folder = rdb_util_create_skeleton_main_folder(report);
    while (folder->remove_object(TABLE_NAME)) {
    }
    folder->add_object(std::move(table));
    if (RDB_REPORT::get_database_path().empty()) return true;
    return RDB_REPORT::write_report(*report, error);
}
