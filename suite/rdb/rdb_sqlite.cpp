//! @file rdb_sqlite.cpp
//! @brief SQLite through its C API, with owning handles and exceptions for failures.
#include "rdb_sqlite.h"

#include <sqlite3.h>

#include <fmt/format.h>

void RDB_SQLITE_DATABASE::CLOSER::operator()(sqlite3* db) const
{
    sqlite3_close_v2(db);
}

void RDB_SQLITE_STATEMENT::FINALIZER::operator()(sqlite3_stmt* statement) const
{
    sqlite3_finalize(statement);
}

RDB_SQLITE_DATABASE::RDB_SQLITE_DATABASE(const std::string& path, MODE mode, int busy_timeout_ms)
    : m_path(path)
{
    const int flags =
        (mode == MODE::EXISTING ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
        SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_PRIVATECACHE;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    m_db.reset(db);  // a handle is returned even on failure and must be closed
    if (rc != SQLITE_OK) {
        const std::string why = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        throw RDB_STORE_ERROR(fmt::format("cannot open the report database {}: {}", path, why));
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busy_timeout_ms);
}

void RDB_SQLITE_DATABASE::execute(const std::string& sql)
{
    if (sqlite3_exec(m_db.get(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail("cannot run \"" + sql + "\"");
}

void RDB_SQLITE_DATABASE::execute_quietly(const char* sql) noexcept
{
    sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr);
}

RDB_SQLITE_STATEMENT RDB_SQLITE_DATABASE::prepare(const std::string& sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db.get(), sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr) !=
        SQLITE_OK)
        fail("cannot prepare \"" + sql + "\"");
    return RDB_SQLITE_STATEMENT(*this, statement);
}

std::int64_t RDB_SQLITE_DATABASE::last_insert_id() const
{
    return sqlite3_last_insert_rowid(m_db.get());
}

void RDB_SQLITE_DATABASE::fail(const std::string& doing) const
{
    const int code = sqlite3_errcode(m_db.get()) & 0xff;
    if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
        throw RDB_STORE_ERROR(fmt::format("{} is not a readable report database ({}); it is left untouched",
                                          m_path, sqlite3_errmsg(m_db.get())));
    throw RDB_STORE_ERROR(
        fmt::format("report database {}: {}: {}", m_path, doing, sqlite3_errmsg(m_db.get())));
}

RDB_SQLITE_STATEMENT::RDB_SQLITE_STATEMENT(RDB_SQLITE_DATABASE& db, sqlite3_stmt* statement)
    : m_db(&db), m_statement(statement)
{
}

RDB_SQLITE_STATEMENT& RDB_SQLITE_STATEMENT::bind(int index, const std::string& value)
{
    if (sqlite3_bind_text64(m_statement.get(), index, value.data(), value.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK)
        m_db->fail("cannot bind a value");
    return *this;
}

RDB_SQLITE_STATEMENT& RDB_SQLITE_STATEMENT::bind(int index, std::int64_t value)
{
    if (sqlite3_bind_int64(m_statement.get(), index, value) != SQLITE_OK) m_db->fail("cannot bind a value");
    return *this;
}

RDB_SQLITE_STATEMENT& RDB_SQLITE_STATEMENT::bind_null(int index)
{
    if (sqlite3_bind_null(m_statement.get(), index) != SQLITE_OK) m_db->fail("cannot bind a value");
    return *this;
}

bool RDB_SQLITE_STATEMENT::step()
{
    const int rc = sqlite3_step(m_statement.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    m_db->fail(fmt::format("cannot run \"{}\"", sqlite3_sql(m_statement.get())));
}

void RDB_SQLITE_STATEMENT::run()
{
    while (step()) {
    }
    reset();
}

void RDB_SQLITE_STATEMENT::reset()
{
    sqlite3_reset(m_statement.get());
    sqlite3_clear_bindings(m_statement.get());
}

bool RDB_SQLITE_STATEMENT::is_null(int column) const
{
    return sqlite3_column_type(m_statement.get(), column) == SQLITE_NULL;
}

std::int64_t RDB_SQLITE_STATEMENT::column_int(int column) const
{
    return sqlite3_column_int64(m_statement.get(), column);
}

std::string RDB_SQLITE_STATEMENT::column_text(int column, std::size_t max_bytes) const
{
    const unsigned char* text = sqlite3_column_text(m_statement.get(), column);
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(m_statement.get(), column));
    if (size > max_bytes)
        throw RDB_STORE_ERROR(
            fmt::format("a stored value of {} bytes exceeds the limit of {} bytes", size, max_bytes));
    return text ? std::string(reinterpret_cast<const char*>(text), size) : std::string();
}

RDB_SQLITE_TRANSACTION::RDB_SQLITE_TRANSACTION(RDB_SQLITE_DATABASE& db, KIND kind) : m_db(db)
{
    // Taking the write lock up front lets a second writer wait in the busy handler instead
    // of failing half-way with a lock upgrade that cannot succeed.
    m_db.execute(kind == KIND::WRITE ? "BEGIN IMMEDIATE" : "BEGIN");
}

RDB_SQLITE_TRANSACTION::~RDB_SQLITE_TRANSACTION()
{
    if (m_open) m_db.execute_quietly("ROLLBACK");
}

void RDB_SQLITE_TRANSACTION::commit()
{
    m_db.execute("COMMIT");
    m_open = false;
}
