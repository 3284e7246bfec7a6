#include "core/platform/record_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <limits>
#include <random>
#include <system_error>

namespace kestrana::platform {

namespace {

std::string errorText(sqlite3* db) {
    return db != nullptr ? sqlite3_errmsg(db) : "out of memory";
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Prepares one statement; `tail` receives the rest of the text when it holds more than one.
sqlite3_stmt* prepare(sqlite3* db, const std::string& path, std::string_view sql,
                      const char** tail = nullptr) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt, tail) != SQLITE_OK) {
        std::string what = "SQL rejected (" + errorText(db) + "): " + std::string(sql);
        sqlite3_finalize(stmt);
        throw Error(what, path);
    }
    return stmt;
}

// Binds params[next...] to the '?' of `stmt` in order; `next` moves past what was used.
void bindParams(sqlite3* db, const std::string& path, sqlite3_stmt* stmt, const std::vector<SqlValue>& params,
                std::size_t& next) {
    const int count = sqlite3_bind_parameter_count(stmt);
    for (int i = 1; i <= count; ++i, ++next) {
        if (next >= params.size()) {
            throw Error("SQL text has more parameters than values were given", path);
        }
        const SqlValue& value = params[next];
        int rc = SQLITE_OK;
        if (const auto* whole = std::get_if<long long>(&value)) {
            rc = sqlite3_bind_int64(stmt, i, *whole);
        } else if (const auto* real = std::get_if<double>(&value)) {
            rc = sqlite3_bind_double(stmt, i, *real);
        } else {
            const auto& text = std::get<std::string>(value);
            rc = sqlite3_bind_text(stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) {
            throw Error("cannot bind an SQL value: " + errorText(db), path);
        }
    }
}

// The stores are private scratch databases rebuilt from run files on every use, so losing one
// to a power failure costs nothing: no syncing to disk, the rollback journal kept in memory.
void tuneForRebuilding(sqlite3* db) {
    sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY; PRAGMA temp_store=MEMORY;", nullptr,
                 nullptr, nullptr);
}

sqlite3* openHandle(const std::string& file, int flags) {
    sqlite3* db = nullptr;
    // SQLite reads a name beginning with "file:" as a URI (with options such as mode=memory) and
    // ":memory:" as no file at all; a relative path is given a leading "./" so it stays a path.
    const std::string name = !file.empty() && file.front() != '/' ? "./" + file : file;
    // A store is used by one thread at a time, so SQLite's own locking of the connection is skipped.
    int rc = sqlite3_open_v2(name.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        std::string what = "cannot open the database (" + errorText(db) + ")";
        sqlite3_close_v2(db);
        throw Error(what, file);
    }
    sqlite3_extended_result_codes(db, 1);
    return db;
}

} // namespace

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
    sqlite3* db = openHandle(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    RecordStore store(db, file);
    tuneForRebuilding(db);
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
    sqlite3* db = openHandle(file, SQLITE_OPEN_READWRITE);
    RecordStore store(db, file);
    // SQLite reads the file only at the first statement: a file that is no database fails here.
    try {
        RowSet probe(store, "SELECT count(*) FROM sqlite_master");
    } catch (const Error&) {
        throw Error("the file is not a database of this program", file);
    }
    tuneForRebuilding(db);
    return store;
}

std::uint64_t RecordStore::stamp() const {
    auto headerField = [this](const char* pragma) -> std::uint64_t {
        if (db_ == nullptr) {
            fail("cannot read the stamp");
        }
        sqlite3_stmt* stmt = prepare(db_, path_, pragma);
        const bool read = sqlite3_step(stmt) == SQLITE_ROW;
        const auto value = static_cast<std::uint32_t>(sqlite3_column_int64(stmt, 0));
        sqlite3_finalize(stmt);
        if (!read) {
            fail("cannot read the stamp");
        }
        return value;
    };
    return (headerField("PRAGMA application_id") << 32) | headerField("PRAGMA user_version");
}

RecordStore::RecordStore(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}

RecordStore::RecordStore(RecordStore&& other) noexcept : db_(other.db_), path_(std::move(other.path_)) {
    other.db_ = nullptr;
}

RecordStore& RecordStore::operator=(RecordStore&& other) noexcept {
    if (this != &other) {
        close();
        db_ = other.db_;
        path_ = std::move(other.path_);
        other.db_ = nullptr;
    }
    return *this;
}

RecordStore::~RecordStore() {
    close();
}

void RecordStore::close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void RecordStore::fail(const std::string& what) const {
    throw Error(what + (db_ != nullptr ? " (" + errorText(db_) + ")" : std::string(" (database closed)")),
                path_);
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
    if (db_ == nullptr) {
        fail("cannot run SQL");
    }
    std::size_t nextParam = 0;
    std::string_view rest = sql;
    while (!rest.empty()) {
        const char* tail = nullptr;
        sqlite3_stmt* stmt = prepare(db_, path_, rest, &tail);
        rest.remove_prefix(static_cast<std::size_t>(tail - rest.data()));
        if (stmt == nullptr) { // only blanks or a comment were left
            break;
        }
        try {
            bindParams(db_, path_, stmt, params, nextParam);
        } catch (...) {
            sqlite3_finalize(stmt);
            throw;
        }
        int rc = SQLITE_ROW;
        while (rc == SQLITE_ROW) {
            rc = sqlite3_step(stmt);
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) {
            fail("SQL failed: " + sql);
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
        if (store.handle() == nullptr) {
            store.fail("cannot add rows");
        }
        rowStmt_ = prepare(store.handle(), store.path(), insertSql(table, fieldCount, 1));
        batchStmt_ = prepare(store.handle(), store.path(), insertSql(table, fieldCount, batchRows_));
    } catch (...) {
        sqlite3_finalize(rowStmt_);
        rowStmt_ = nullptr;
        store.execute("ROLLBACK TO kestrana_insert; RELEASE kestrana_insert");
        open_ = false;
        throw;
    }
    pending_.reserve(batchRows_ * fieldCount);
}

RecordStore::Inserter::Inserter(Inserter&& other) noexcept
    : store_(other.store_), rowStmt_(other.rowStmt_), batchStmt_(other.batchStmt_),
      fieldCount_(other.fieldCount_), batchRows_(other.batchRows_), pending_(std::move(other.pending_)),
      open_(other.open_) {
    other.rowStmt_ = nullptr;
    other.batchStmt_ = nullptr;
    other.open_ = false;
}

RecordStore::Inserter::~Inserter() {
    sqlite3_finalize(rowStmt_);
    sqlite3_finalize(batchStmt_);
    if (open_ && store_->handle() != nullptr) {
        sqlite3_exec(store_->handle(), "ROLLBACK TO kestrana_insert; RELEASE kestrana_insert", nullptr,
                     nullptr, nullptr);
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
        writeRows(batchStmt_, pending_.data(), batchRows_);
        pending_.clear();
    }
}

void RecordStore::Inserter::writeRows(sqlite3_stmt* stmt, const std::int16_t* values, std::size_t rows) {
    const std::size_t count = rows * fieldCount_;
    for (std::size_t i = 0; i < count; ++i) {
        sqlite3_bind_int(stmt, static_cast<int>(i + 1), values[i]);
    }
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
        store_->fail("cannot add a row");
    }
}

void RecordStore::Inserter::flush() {
    for (std::size_t at = 0; at < pending_.size(); at += fieldCount_) {
        writeRows(rowStmt_, pending_.data() + at, 1);
    }
    pending_.clear();
}

void RecordStore::Inserter::commit() {
    if (!open_) {
        return;
    }
    flush();
    sqlite3_finalize(rowStmt_);
    sqlite3_finalize(batchStmt_);
    rowStmt_ = nullptr;
    batchStmt_ = nullptr;
    store_->execute("RELEASE kestrana_insert");
    open_ = false;
}

// ---------------------------------------------------------------------------------------------
// RowSet

RecordStore::RowSet::RowSet(RecordStore& store, const std::string& sql, const std::vector<SqlValue>& params)
    : store_(&store) {
    if (store.handle() == nullptr) {
        store.fail("cannot read rows");
    }
    stmt_ = prepare(store.handle(), store.path(), sql);
    if (stmt_ == nullptr) {
        throw Error("empty SQL text", store.path());
    }
    try {
        std::size_t next = 0;
        bindParams(store.handle(), store.path(), stmt_, params, next);
        moveNext();
    } catch (...) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw;
    }
}

RecordStore::RowSet::RowSet(RowSet&& other) noexcept
    : store_(other.store_), stmt_(other.stmt_), hasRow_(other.hasRow_) {
    other.stmt_ = nullptr;
    other.hasRow_ = false;
}

RecordStore::RowSet::~RowSet() {
    sqlite3_finalize(stmt_);
}

void RecordStore::RowSet::moveNext() {
    if (stmt_ == nullptr) {
        hasRow_ = false;
        return;
    }
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        hasRow_ = true;
        return;
    }
    hasRow_ = false;
    if (rc != SQLITE_DONE) {
        store_->fail("cannot read the next row");
    }
}

int RecordStore::RowSet::columnCount() const {
    return stmt_ != nullptr ? sqlite3_column_count(stmt_) : 0;
}

std::string RecordStore::RowSet::columnName(int column) const {
    const char* name = stmt_ != nullptr ? sqlite3_column_name(stmt_, column) : nullptr;
    if (name == nullptr) {
        throw Error("no column " + std::to_string(column), store_->path());
    }
    return name;
}

int RecordStore::RowSet::columnIndex(std::string_view name) const {
    // Field names are matched without regard to case, as the queries write them either way.
    for (int c = 0; c < columnCount(); ++c) {
        if (sameNameIgnoringCase(sqlite3_column_name(stmt_, c), name)) {
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
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL) {
        throw Error("field " + columnName(column) + " holds no value", store_->path());
    }
    const sqlite3_int64 value = sqlite3_column_int64(stmt_, column);
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
    return sqlite3_column_double(stmt_, column);
}

bool RecordStore::RowSet::isNull(int column) const {
    requireCurrent(column);
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

std::string RecordStore::RowSet::valueText(int column) const {
    requireCurrent(column);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    return text != nullptr ? std::string(text, static_cast<std::size_t>(size)) : std::string();
}

} // namespace kestrana::platform
