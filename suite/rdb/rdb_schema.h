//! @file rdb_schema.h
//! @brief The report database's tables, its schema version and the bounds every stored
//! report keeps (checked when writing, so whatever is written can be read back).
#pragma once

#include "rdb_sqlite.h"

#include <cstddef>
#include <string>

//! PRAGMA user_version of a database this code writes; higher versions are refused.
constexpr int RDB_SCHEMA_VERSION = 1;
constexpr int RDB_BUSY_TIMEOUT_MS = 10000;

constexpr std::size_t RDB_MAX_OBJECTS = 100000;           //!< objects of one report
constexpr std::size_t RDB_MAX_VALUES = 4000000;           //!< cells, summary rows and messages of one report
constexpr std::size_t RDB_MAX_VALUE_BYTES = 16u << 20;    //!< one name, cell, label or text
constexpr std::size_t RDB_MAX_REPORT_BYTES = 256u << 20;  //!< all texts of one report together
constexpr std::size_t RDB_MAX_FOLDER_DEPTH = 64;          //!< main folders are at depth 1

//! Counts what one report holds and refuses it once past a bound.
class RDB_REPORT_BUDGET {
public:
    void add_object(std::size_t depth);
    void add_value();
    void add_text(std::size_t bytes);

private:
    std::size_t m_objects = 0;
    std::size_t m_values = 0;
    std::size_t m_bytes = 0;
};

//! Inside a write transaction: creates the tables in a new, empty database, accepts one of
//! this version and refuses anything else (a newer version, another kind of database).
void rdb_prepare_schema_for_writing(RDB_SQLITE_DATABASE& db, const std::string& path);
//! False when the database holds no tables yet (so no reports); throws for a database this
//! code cannot read.
bool rdb_check_schema_for_reading(RDB_SQLITE_DATABASE& db, const std::string& path);
