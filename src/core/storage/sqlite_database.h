// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The one way the core talks to SQLite: an open database (SqliteDatabase) and its prepared statements
// (SqliteStatement), used by the record store and by the run library's file. Values are always bound,
// never pasted into SQL text. What a failed call means to the user is for the owner to say: the record
// store names the SQL that failed, the run library says in words what happened to the library; each
// tells it in its own fail().

#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace kestrana::storage {

// What a failed call was doing: preparing a statement (`what` is its SQL text), binding a value, or
// running it (`what` says what for).
enum class SqliteStage { Preparing, Binding, Stepping };

// A database file opened, or why it could not be.
struct SqliteOpening {
    sqlite3* handle = nullptr; // null when it could not be opened
    int resultCode = 0;        // SQLite's result code of the opening
    int systemError = 0;       // the system's errno behind it, 0 when none is known
    std::string errorText;     // SQLite's own text of the failure
};

// Opens `file` with SQLite's open flags, always as a plain path: a name beginning with "file:" is never
// read as a URI and ":memory:" never as a database in memory. Extended result codes are on.
SqliteOpening openSqliteFile(const std::string& file, int flags);
// A new, empty database in memory.
SqliteOpening openSqliteMemory();

// One open database; closed with the object. A subclass says what a failure means (fail()).
class SqliteDatabase {
public:
    virtual ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    sqlite3* handle() const { return db_; }
    // The path messages name.
    const std::string& path() const { return path_; }
    // SQLite's text of the last failure ("out of memory" when there is no database).
    std::string errorText() const;

    // Runs SQL text of statements without result rows; a failure is told as Stepping with `doing`.
    void execute(const std::string& sql, std::string_view doing) const;

    // Says what the failed call (result code `resultCode`) means, by throwing; never returns.
    [[noreturn]] virtual void fail(int resultCode, SqliteStage stage, std::string_view what) const = 0;

protected:
    SqliteDatabase(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

private:
    sqlite3* db_;
    std::string path_;
};

// A prepared statement of a database. Parameters are bound in order from the first after each reset().
class SqliteStatement {
public:
    // Prepares the first statement of `sql`. With `rest`, the text after it is put there, and a text
    // of blanks or comments only gives an empty statement (empty()); without it, that is a failure.
    SqliteStatement(const SqliteDatabase& database, std::string_view sql, std::string_view* rest = nullptr);
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    ~SqliteStatement();

    bool empty() const { return stmt_ == nullptr; }
    int parameterCount() const;

    // Ready to bind from the first parameter again.
    SqliteStatement& reset();
    template <std::integral Whole> SqliteStatement& bind(Whole value) {
        return bindWhole(static_cast<long long>(value));
    }
    SqliteStatement& bindReal(double value);
    SqliteStatement& bind(std::string_view text);
    SqliteStatement& bindBytes(const void* bytes, std::size_t size);
    SqliteStatement& bindNull();

    // Runs it to the next row: true while there is one. A failure is told as Stepping with `doing`
    // (empty: whatever the owner says of a statement failing in general).
    bool step(std::string_view doing = {});

    int columnCount() const;
    // The column's name; empty when there is no such column.
    std::string columnName(int column) const;
    long long integer(int column) const;
    double real(int column) const;
    bool isNull(int column) const;
    std::string text(int column) const;
    std::string bytes(int column) const;
    // The column's bytes without a copy, valid until the next step or reset.
    std::string_view blob(int column) const;

private:
    SqliteStatement& bindWhole(long long value);
    void check(int resultCode);
    const SqliteDatabase* database_;
    sqlite3_stmt* stmt_ = nullptr;
    int next_ = 1;
};

} // namespace kestrana::storage
