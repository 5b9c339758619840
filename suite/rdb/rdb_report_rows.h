//! @file rdb_report_rows.h
//! @brief A report as rows of the report database: written in whole, read back in whole.
#pragma once

#include <rdb/rdb.h>

#include "rdb_sqlite.h"

#include <memory>
#include <string>

//! Replaces the stored report of the report's revision and type. Runs inside the caller's
//! write transaction; throws RDB_STORE_ERROR for a report past the bounds.
void rdb_write_report_rows(RDB_SQLITE_DATABASE& db, const RDB_REPORT& report);
//! The stored report of a revision and type (current folder unset), or null when none is
//! stored. Throws RDB_STORE_ERROR for a damaged report or one past the bounds.
std::unique_ptr<RDB_REPORT> rdb_read_report_rows(RDB_SQLITE_DATABASE& db, const std::string& revision,
                                                 int type);
