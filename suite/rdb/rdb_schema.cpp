//! @file rdb_schema.cpp
//! @brief Creating and recognising the report database's tables.
#include "rdb_schema.h"

#include <fmt/format.h>

namespace {

// Children reference their parent with ON DELETE CASCADE, so deleting a report row removes
// everything below it (the connection turns foreign keys on).
const char* const SCHEMA_SQL = R"sql(
CREATE TABLE report (
    id          INTEGER PRIMARY KEY,
    revision    TEXT    NOT NULL,
    type        INTEGER NOT NULL,
    written_at  TEXT    NOT NULL,
    UNIQUE (revision, type)
);
CREATE TABLE object (
    id          INTEGER PRIMARY KEY,
    report_id   INTEGER NOT NULL REFERENCES report (id) ON DELETE CASCADE,
    parent_id   INTEGER REFERENCES object (id) ON DELETE CASCADE,
    position    INTEGER NOT NULL,
    kind        TEXT    NOT NULL CHECK (kind IN ('folder', 'table', 'summary', 'legal', 'messages')),
    name        TEXT    NOT NULL,
    color       INTEGER NOT NULL DEFAULT 0,
    text        TEXT,
    is_html     INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX object_by_report ON object (report_id, parent_id, position);
CREATE INDEX object_by_parent ON object (parent_id);
CREATE TABLE table_row (
    id          INTEGER PRIMARY KEY,
    object_id   INTEGER NOT NULL REFERENCES object (id) ON DELETE CASCADE,
    position    INTEGER NOT NULL
);
CREATE INDEX table_row_by_object ON table_row (object_id, position);
CREATE TABLE table_cell (
    row_id      INTEGER NOT NULL REFERENCES table_row (id) ON DELETE CASCADE,
    position    INTEGER NOT NULL,
    value       TEXT    NOT NULL,
    PRIMARY KEY (row_id, position)
);
CREATE TABLE summary_row (
    object_id   INTEGER NOT NULL REFERENCES object (id) ON DELETE CASCADE,
    position    INTEGER NOT NULL,
    label       TEXT    NOT NULL,
    value       TEXT    NOT NULL,
    PRIMARY KEY (object_id, position)
);
CREATE TABLE message (
    object_id   INTEGER NOT NULL REFERENCES object (id) ON DELETE CASCADE,
    position    INTEGER NOT NULL,
    severity    TEXT    NOT NULL,
    message_id  INTEGER NOT NULL,
    text        TEXT    NOT NULL,
    PRIMARY KEY (object_id, position)
);
)sql";

int user_version(RDB_SQLITE_DATABASE& db)
{
    RDB_SQLITE_STATEMENT statement = db.prepare("PRAGMA user_version");
    return statement.step() ? static_cast<int>(statement.column_int(0)) : 0;
}

bool holds_tables(RDB_SQLITE_DATABASE& db)
{
    RDB_SQLITE_STATEMENT statement = db.prepare("SELECT count(*) FROM sqlite_schema");
    return statement.step() && statement.column_int(0) > 0;
}

//! True for a database of this version, false for a new one; throws for anything else.
bool recognise(RDB_SQLITE_DATABASE& db, const std::string& path)
{
    const int version = user_version(db);
    if (version == RDB_SCHEMA_VERSION) return true;
    if (version > RDB_SCHEMA_VERSION)
        throw RDB_STORE_ERROR(fmt::format("the report database {} has schema version {}, newer than this "
                                          "program's version {}; it is left untouched",
                                          path, version, RDB_SCHEMA_VERSION));
    if (version == 0 && !holds_tables(db)) return false;
    throw RDB_STORE_ERROR(
        fmt::format("{} is not a report database of this program (schema version {}); it is "
                    "left untouched",
                    path, version));
}

}  // namespace

void RDB_REPORT_BUDGET::add_object(std::size_t depth)
{
    if (depth > RDB_MAX_FOLDER_DEPTH)
        throw RDB_STORE_ERROR(fmt::format("folders are nested deeper than {} levels", RDB_MAX_FOLDER_DEPTH));
    if (++m_objects > RDB_MAX_OBJECTS)
        throw RDB_STORE_ERROR(fmt::format("a report holds more than {} objects", RDB_MAX_OBJECTS));
}

void RDB_REPORT_BUDGET::add_value()
{
    if (++m_values > RDB_MAX_VALUES)
        throw RDB_STORE_ERROR(
            fmt::format("a report holds more than {} cells, rows and messages", RDB_MAX_VALUES));
}

void RDB_REPORT_BUDGET::add_text(std::size_t bytes)
{
    if (bytes > RDB_MAX_VALUE_BYTES)
        throw RDB_STORE_ERROR(
            fmt::format("a text of {} bytes exceeds the limit of {} bytes", bytes, RDB_MAX_VALUE_BYTES));
    m_bytes += bytes;
    if (m_bytes > RDB_MAX_REPORT_BYTES)
        throw RDB_STORE_ERROR(fmt::format("a report holds more than {} bytes of text", RDB_MAX_REPORT_BYTES));
}

void rdb_prepare_schema_for_writing(RDB_SQLITE_DATABASE& db, const std::string& path)
{
    if (recognise(db, path)) return;
    db.execute(SCHEMA_SQL);
    db.execute(fmt::format("PRAGMA user_version = {}", RDB_SCHEMA_VERSION));
}

bool rdb_check_schema_for_reading(RDB_SQLITE_DATABASE& db, const std::string& path)
{
    return recognise(db, path);
}
