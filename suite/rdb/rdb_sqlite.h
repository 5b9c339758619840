//! @file rdb_sqlite.h
//! @brief Owning handles for an SQLite connection and its prepared statements. Every failure
//! throws RDB_STORE_ERROR with SQLite's own explanation attached.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

//! A reason the report database could not be read or written; its text is shown to users.
class RDB_STORE_ERROR : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class RDB_SQLITE_STATEMENT;

class RDB_SQLITE_DATABASE {
public:
    //! EXISTING opens only a database that exists (read-only when the file is write-protected).
    enum class MODE { EXISTING, CREATE };

    //! Opens the database file; a second process waits up to busy_timeout_ms for a lock.
    RDB_SQLITE_DATABASE(const std::string& path, MODE mode, int busy_timeout_ms);

    //! Runs statements without parameters or results (schema, transactions, pragmas).
    void execute(const std::string& sql);
    RDB_SQLITE_STATEMENT prepare(const std::string& sql);
    std::int64_t last_insert_id() const;
    //! SQLite's message for the last failure, prefixed with what was being done.
    [[noreturn]] void fail(const std::string& doing) const;

private:
    friend class RDB_SQLITE_TRANSACTION;
    void execute_quietly(const char* sql) noexcept;

    struct CLOSER {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, CLOSER> m_db;
    std::string m_path;
};

//! A prepared statement; parameters are numbered from 1, columns from 0.
class RDB_SQLITE_STATEMENT {
public:
    RDB_SQLITE_STATEMENT(RDB_SQLITE_DATABASE& db, sqlite3_stmt* statement);

    RDB_SQLITE_STATEMENT& bind(int index, const std::string& value);
    RDB_SQLITE_STATEMENT& bind(int index, std::int64_t value);
    RDB_SQLITE_STATEMENT& bind_null(int index);
    //! True while a result row is available; false when the statement is done.
    bool step();
    //! Runs a statement that answers no rows, then makes it ready to run again.
    void run();
    //! Clears the bindings and rewinds, so the statement can be run again.
    void reset();

    bool is_null(int column) const;
    std::int64_t column_int(int column) const;
    //! The text of a column; longer than max_bytes is refused rather than read.
    std::string column_text(int column, std::size_t max_bytes) const;

private:
    struct FINALIZER {
        void operator()(sqlite3_stmt* statement) const;
    };
    RDB_SQLITE_DATABASE* m_db;
    std::unique_ptr<sqlite3_stmt, FINALIZER> m_statement;
};

//! A transaction begun on construction and rolled back on destruction unless committed. A
//! writing one holds the write lock from the start.
class RDB_SQLITE_TRANSACTION {
public:
    enum class KIND { READ, WRITE };
    RDB_SQLITE_TRANSACTION(RDB_SQLITE_DATABASE& db, KIND kind);
    ~RDB_SQLITE_TRANSACTION();
    RDB_SQLITE_TRANSACTION(const RDB_SQLITE_TRANSACTION&) = delete;
    RDB_SQLITE_TRANSACTION& operator=(const RDB_SQLITE_TRANSACTION&) = delete;
    void commit();

private:
    RDB_SQLITE_DATABASE& m_db;
    bool m_open = true;
};
