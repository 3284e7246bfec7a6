// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/storage/sqlite_database.h"

#include <sqlite3.h>

#include <utility>

namespace kestrana::storage {

namespace {

SqliteOpening opening(sqlite3* db, int resultCode) {
    SqliteOpening result;
    if (resultCode == SQLITE_OK) {
        result.handle = db;
        return result;
    }
    result.resultCode = resultCode;
    result.systemError = db != nullptr ? sqlite3_system_errno(db) : 0;
    result.errorText = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close_v2(db);
    return result;
}

} // namespace

SqliteOpening openSqliteFile(const std::string& file, int flags) {
    // SQLite may read a name beginning with "file:" as a URI (with options such as mode=memory) and
    // ":memory:" as no file at all; a relative path given a leading "./" is the same file and neither.
    const std::string name = !file.empty() && file.front() != '/' ? "./" + file : file;
    sqlite3* db = nullptr;
    const int resultCode = sqlite3_open_v2(name.c_str(), &db, flags | SQLITE_OPEN_EXRESCODE, nullptr);
    return opening(db, resultCode);
}

SqliteOpening openSqliteMemory() {
    sqlite3* db = nullptr;
    const int resultCode = sqlite3_open_v2(
        ":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY | SQLITE_OPEN_EXRESCODE, nullptr);
    return opening(db, resultCode);
}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close_v2(db_);
}

std::string SqliteDatabase::errorText() const {
    return db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
}

void SqliteDatabase::execute(const std::string& sql, std::string_view doing) const {
    const int resultCode = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (resultCode != SQLITE_OK) {
        fail(resultCode, SqliteStage::Stepping, doing);
    }
}

SqliteStatement::SqliteStatement(const SqliteDatabase& database, std::string_view sql, std::string_view* rest)
    : database_(&database) {
    const char* tail = nullptr;
    const int resultCode =
        sqlite3_prepare_v2(database.handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, &tail);
    if (resultCode != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        database.fail(resultCode, SqliteStage::Preparing, sql);
    }
    if (rest != nullptr) {
        *rest = sql.substr(static_cast<std::size_t>(tail - sql.data()));
    } else if (stmt_ == nullptr) {
        database.fail(SQLITE_MISUSE, SqliteStage::Preparing, sql);
    }
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : database_(other.database_), stmt_(std::exchange(other.stmt_, nullptr)), next_(other.next_) {}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

int SqliteStatement::parameterCount() const {
    return sqlite3_bind_parameter_count(stmt_);
}

SqliteStatement& SqliteStatement::reset() {
    sqlite3_reset(stmt_);
    next_ = 1;
    return *this;
}

SqliteStatement& SqliteStatement::bindWhole(long long value) {
    check(sqlite3_bind_int64(stmt_, next_++, value));
    return *this;
}

SqliteStatement& SqliteStatement::bindReal(double value) {
    check(sqlite3_bind_double(stmt_, next_++, value));
    return *this;
}

SqliteStatement& SqliteStatement::bind(std::string_view text) {
    check(sqlite3_bind_text(stmt_, next_++, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::bindBytes(const void* bytes, std::size_t size) {
    check(sqlite3_bind_blob(stmt_, next_++, bytes, static_cast<int>(size), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::bindNull() {
    check(sqlite3_bind_null(stmt_, next_++));
    return *this;
}

bool SqliteStatement::step(std::string_view doing) {
    const int resultCode = sqlite3_step(stmt_);
    if (resultCode == SQLITE_ROW) {
        return true;
    }
    if (resultCode != SQLITE_DONE) {
        // The reset gives the failure's extended code where the step gave the plain one.
        const int code = sqlite3_reset(stmt_);
        database_->fail(code != SQLITE_OK ? code : resultCode, SqliteStage::Stepping, doing);
    }
    return false;
}

int SqliteStatement::columnCount() const {
    return stmt_ != nullptr ? sqlite3_column_count(stmt_) : 0;
}

std::string SqliteStatement::columnName(int column) const {
    const char* name = stmt_ != nullptr ? sqlite3_column_name(stmt_, column) : nullptr;
    return name != nullptr ? name : std::string();
}

long long SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

double SqliteStatement::real(int column) const {
    return sqlite3_column_double(stmt_, column);
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::string SqliteStatement::text(int column) const {
    const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return chars != nullptr
               ? std::string(chars, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
               : std::string();
}

std::string SqliteStatement::bytes(int column) const {
    return std::string(blob(column));
}

std::string_view SqliteStatement::blob(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return data != nullptr
               ? std::string_view(data, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
               : std::string_view();
}

void SqliteStatement::check(int resultCode) {
    if (resultCode != SQLITE_OK) {
        database_->fail(resultCode, SqliteStage::Binding, {});
    }
}

} // namespace kestrana::storage
