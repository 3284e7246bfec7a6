// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/storage/record_store.h"

#include "core/storage/sqlite_database.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>
#include <random>
#include <system_error>

namespace kestrana::storage {

using common::Error;

namespace {

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Binds params[next...] to the '?' of `statement` in order; `next` moves past what was used.
void bindParams(const std::string& path, SqliteStatement& statement, const std::vector<SqlValue>& params,
                std::size_t& next) {
    const int count = statement.parameterCount();
    for (int i = 1; i <= count; ++i, ++next) {
        if (next >= params.size()) {
            throw Error("SQL text has more parameters than values were given", path);
        }
        const SqlValue& value = params[next];
        if (const auto* whole = std::get_if<long long>(&value)) {
            statement.bind(*whole);
        } else if (const auto* real = std::get_if<double>(&value)) {
            statement.bindReal(*real);
        } else {
            statement.bind(std::get<std::string>(value));
        }
    }
}

// The stores are private scratch databases rebuilt from run files on every use, so losing one
// to a power failure costs nothing: no syncing to disk, the rollback journal kept in memory.
void tuneForRebuilding(sqlite3* db) {
    sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY; PRAGMA temp_store=MEMORY;", nullptr,
                 nullptr, nullptr);
}

} // namespace

// A store's database: a failure names the SQL or the step that failed, with SQLite's own text.
class RecordStore::Database final : public SqliteDatabase {
public:
    Database(sqlite3* db, std::string path) : SqliteDatabase(db, std::move(path)) {}

    static std::unique_ptr<Database> open(const std::string& file, int flags) {
        // A store is used by one thread at a time, so SQLite's own locking of the connection is skipped.
        const SqliteOpening opened = openSqliteFile(file, flags | SQLITE_OPEN_NOMUTEX);
        if (opened.handle == nullptr) {
            throw Error("cannot open the database (" + opened.errorText + ")", file);
        }
        return std::make_unique<Database>(opened.handle, file);
    }

    [[noreturn]] void fail(int, SqliteStage stage, std::string_view what) const override {
        switch (stage) {
        case SqliteStage::Preparing:
            throw Error("SQL rejected (" + errorText() + "): " + std::string(what), path());
        case SqliteStage::Binding:
            throw Error("cannot bind an SQL value: " + errorText(), path());
        case SqliteStage::Stepping:
            break;
        }
        throw Error(std::string(what) + " (" + errorText() + ")", path());
    }
};

std::string quoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') {
            quoted += '"';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// ---------------------------------------------------------------------------------------------
// RecordStore

std::string RecordStore::fileOf(const std::string& basePath) {
    return basePath + ".sqlite";
}

bool RecordStore::remove(const std::string& basePath) {
    std::error_code error;
    std::filesystem::remove(fileOf(basePath), error);
    return !error;
}

RecordStore RecordStore::create(const std::string& basePath) {
    const std::string file = fileOf(basePath);
    std::error_code error;
    std::filesystem::remove(file, error);
    if (error) {
        throw Error("cannot replace the old database: " + error.message(), file);
    }
    RecordStore store(Database::open(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE));
    tuneForRebuilding(store.database_->handle());
    // Writes the header now, so that the file is a valid (empty) store even before a first table. The
    // stamp goes into the two 32-bit header fields SQLite leaves to the application.
    std::random_device seed;
    std::uint64_t stamp = 0;
    while (stamp == 0) {
        stamp = (static_cast<std::uint64_t>(seed()) << 32) | seed();
    }
    store.execute("PRAGMA application_id=" + std::to_string(static_cast<std::int32_t>(stamp >> 32)) +
                  "; PRAGMA user_version=" + std::to_string(static_cast<std::int32_t>(stamp & 0xffffffffU)));
    return store;
}

RecordStore RecordStore::open(const std::string& basePath) {
    const std::string file = fileOf(basePath);
    if (!std::filesystem::is_regular_file(file)) {
        throw Error("the database does not exist", file);
    }
    RecordStore store(Database::open(file, SQLITE_OPEN_READWRITE));
    // SQLite reads the file only at the first statement: a file that is no database fails here.
    try {
        RowSet probe(store, "SELECT count(*) FROM sqlite_master");
    } catch (const Error&) {
        throw Error("the file is not a database of this program", file);
    }
    tuneForRebuilding(store.database_->handle());
    return store;
}

std::uint64_t RecordStore::stamp() const {
    auto headerField = [this](const char* pragma) -> std::uint64_t {
        const SqliteDatabase& database = requireOpen("cannot read the stamp");
        SqliteStatement statement(database, pragma);
        if (!statement.step("cannot read the stamp")) {
            fail("cannot read the stamp");
        }
        return static_cast<std::uint32_t>(statement.integer(0));
    };
    return (headerField("PRAGMA application_id") << 32) | headerField("PRAGMA user_version");
}

RecordStore::RecordStore(std::unique_ptr<Database> database) : database_(std::move(database)) {
    path_ = database_->path();
}

RecordStore::RecordStore(RecordStore&& other) noexcept = default;
RecordStore& RecordStore::operator=(RecordStore&& other) noexcept = default;
RecordStore::~RecordStore() = default;

void RecordStore::close() {
    database_.reset();
}

bool RecordStore::isOpen() const {
    return database_ != nullptr;
}

void RecordStore::fail(const std::string& what) const {
    throw Error(what + (database_ != nullptr ? " (" + database_->errorText() + ")"
                                             : std::string(" (database closed)")),
                path_);
}

const SqliteDatabase& RecordStore::requireOpen(const std::string& what) const {
    if (database_ == nullptr) {
        fail(what);
    }
    return *database_;
}

void RecordStore::defineTable(const std::string& table, const std::vector<std::string>& fields) {
    if (fields.empty()) {
        throw Error("a table needs at least one field: " + table, path_);
    }
    // SMALLINT documents the 16-bit fields; the values themselves are checked where they are read.
    std::string sql = "CREATE TABLE " + quoteIdentifier(table) + " (";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        sql += (i == 0 ? "" : ", ") + quoteIdentifier(fields[i]) + " SMALLINT";
    }
    sql += ")";
    execute(sql);
}

void RecordStore::execute(const std::string& sql, const std::vector<SqlValue>& params) {
    const SqliteDatabase& database = requireOpen("cannot run SQL");
    const std::string failed = "SQL failed: " + sql;
    std::size_t nextParam = 0;
    std::string_view rest = sql;
    while (!rest.empty()) {
        SqliteStatement statement(database, rest, &rest);
        if (statement.empty()) { // only blanks or a comment were left
            break;
        }
        bindParams(path_, statement, params, nextParam);
        while (statement.step(failed)) {
        }
    }
}

std::vector<std::int16_t> RecordStore::firstRow(const std::string& table) {
    return edgeRow(table, "");
}

std::vector<std::int16_t> RecordStore::lastRow(const std::string& table) {
    return edgeRow(table, " DESC");
}

std::vector<std::int16_t> RecordStore::edgeRow(const std::string& table, const char* order) {
    std::vector<std::int16_t> row;
    RowSet rows(*this, "SELECT * FROM " + quoteIdentifier(table) + " ORDER BY rowid" + order + " LIMIT 1");
    for (int c = 0; rows.hasCurrent() && c < rows.columnCount(); ++c) {
        row.push_back(rows.field(c));
    }
    return row;
}

// ---------------------------------------------------------------------------------------------
// Inserter

namespace {

// "INSERT INTO table VALUES (?, ?), (?, ?) ..." for `rows` rows of `fieldCount` fields.
std::string insertSql(const std::string& table, std::size_t fieldCount, std::size_t rows) {
    std::string row = "(";
    for (std::size_t i = 0; i < fieldCount; ++i) {
        row += i == 0 ? "?" : ", ?";
    }
    row += ")";
    std::string sql = "INSERT INTO " + quoteIdentifier(table) + " VALUES ";
    for (std::size_t r = 0; r < rows; ++r) {
        sql += r == 0 ? row : ", " + row;
    }
    return sql;
}

// Rows a batch statement carries: as many as keep its parameters within the 999 every SQLite build
// accepts, and no more than 64, past which a longer statement saves nothing measurable.
std::size_t rowsPerBatch(std::size_t fieldCount) {
    return std::clamp<std::size_t>(999 / fieldCount, 1, 64);
}

} // namespace

RecordStore::Inserter::Inserter(RecordStore& store, const std::string& table, std::size_t fieldCount)
    : store_(&store), fieldCount_(fieldCount) {
    if (fieldCount == 0) {
        throw Error("an insert needs at least one field: " + table, store.path());
    }
    // A savepoint rather than BEGIN, so that an inserter also works inside a caller's transaction.
    store.execute("SAVEPOINT kestrana_insert");
    open_ = true;
    batchRows_ = rowsPerBatch(fieldCount);
    try {
        const SqliteDatabase& database = store.requireOpen("cannot add rows");
        rowStmt_.emplace(database, insertSql(table, fieldCount, 1));
        batchStmt_.emplace(database, insertSql(table, fieldCount, batchRows_));
    } catch (...) {
        rowStmt_.reset();
        store.execute("ROLLBACK TO kestrana_insert; RELEASE kestrana_insert");
        open_ = false;
        throw;
    }
    pending_.reserve(batchRows_ * fieldCount);
}

RecordStore::Inserter::Inserter(Inserter&& other) noexcept
    : store_(other.store_), rowStmt_(std::move(other.rowStmt_)), batchStmt_(std::move(other.batchStmt_)),
      fieldCount_(other.fieldCount_), batchRows_(other.batchRows_), pending_(std::move(other.pending_)),
      open_(other.open_) {
    other.rowStmt_.reset();
    other.batchStmt_.reset();
    other.open_ = false;
}

RecordStore::Inserter::~Inserter() {
    rowStmt_.reset();
    batchStmt_.reset();
    if (open_ && store_->isOpen()) {
        sqlite3_exec(store_->database_->handle(), "ROLLBACK TO kestrana_insert; RELEASE kestrana_insert",
                     nullptr, nullptr, nullptr);
    }
}

void RecordStore::Inserter::add(std::span<const std::int16_t> values) {
    if (!open_) {
        throw Error("rows added after the load was committed", store_->path());
    }
    if (values.size() != fieldCount_) {
        throw Error("a row of " + std::to_string(values.size()) + " values for " +
                        std::to_string(fieldCount_) + " fields",
                    store_->path());
    }
    pending_.insert(pending_.end(), values.begin(), values.end());
    if (pending_.size() == batchRows_ * fieldCount_) {
        writeRows(*batchStmt_, pending_.data(), batchRows_);
        pending_.clear();
    }
}

void RecordStore::Inserter::writeRows(SqliteStatement& statement, const std::int16_t* values,
                                      std::size_t rows) {
    statement.reset();
    const std::size_t count = rows * fieldCount_;
    for (std::size_t i = 0; i < count; ++i) {
        statement.bind(values[i]);
    }
    statement.step("cannot add a row");
}

void RecordStore::Inserter::flush() {
    for (std::size_t at = 0; at < pending_.size(); at += fieldCount_) {
        writeRows(*rowStmt_, pending_.data() + at, 1);
    }
    pending_.clear();
}

void RecordStore::Inserter::commit() {
    if (!open_) {
        return;
    }
    flush();
    rowStmt_.reset();
    batchStmt_.reset();
    store_->execute("RELEASE kestrana_insert");
    open_ = false;
}

// ---------------------------------------------------------------------------------------------
// RowSet

RecordStore::RowSet::RowSet(RecordStore& store, const std::string& sql, const std::vector<SqlValue>& params)
    : store_(&store) {
    std::string_view rest;
    statement_.emplace(store.requireOpen("cannot read rows"), sql, &rest);
    if (statement_->empty()) {
        throw Error("empty SQL text", store.path());
    }
    std::size_t next = 0;
    bindParams(store.path(), *statement_, params, next);
    moveNext();
}

RecordStore::RowSet::RowSet(RowSet&& other) noexcept
    : store_(other.store_), statement_(std::move(other.statement_)), hasRow_(other.hasRow_) {
    other.statement_.reset();
    other.hasRow_ = false;
}

RecordStore::RowSet::~RowSet() = default;

void RecordStore::RowSet::moveNext() {
    hasRow_ = statement_ && statement_->step("cannot read the next row");
}

int RecordStore::RowSet::columnCount() const {
    return statement_ ? statement_->columnCount() : 0;
}

std::string RecordStore::RowSet::columnName(int column) const {
    std::string name = statement_ && column >= 0 ? statement_->columnName(column) : std::string();
    if (name.empty()) {
        throw Error("no column " + std::to_string(column), store_->path());
    }
    return name;
}

int RecordStore::RowSet::columnIndex(std::string_view name) const {
    // Field names are matched without regard to case, as the queries write them either way.
    for (int c = 0; c < columnCount(); ++c) {
        if (sameNameIgnoringCase(statement_->columnName(c), name)) {
            return c;
        }
    }
    throw Error("no field named " + std::string(name), store_->path());
}

void RecordStore::RowSet::requireCurrent(int column) const {
    if (!hasRow_) {
        throw NoCurrentRecordError("no current record", store_->path());
    }
    if (column < 0 || column >= columnCount()) {
        throw Error("no column " + std::to_string(column), store_->path());
    }
}

std::int16_t RecordStore::RowSet::field(std::string_view name) const {
    return field(columnIndex(name));
}

std::int16_t RecordStore::RowSet::field(int column) const {
    requireCurrent(column);
    if (statement_->isNull(column)) {
        throw Error("field " + columnName(column) + " holds no value", store_->path());
    }
    const long long value = statement_->integer(column);
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        throw Error("field " + columnName(column) + " holds " + std::to_string(value) +
                        ", outside the 16-bit range",
                    store_->path());
    }
    return static_cast<std::int16_t>(value);
}

double RecordStore::RowSet::valueDouble(int column) const {
    requireCurrent(column);
    return statement_->real(column);
}

bool RecordStore::RowSet::isNull(int column) const {
    requireCurrent(column);
    return statement_->isNull(column);
}

std::string RecordStore::RowSet::valueText(int column) const {
    requireCurrent(column);
    return statement_->text(column);
}

} // namespace kestrana::storage
