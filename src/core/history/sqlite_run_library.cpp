#include "core/history/sqlite_run_library.h"

#include "core/platform/paths.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <unordered_map>

namespace kestrana::history {

namespace {

// Marks the file as a Kestrana run library ("KRLB") in the SQLite header, beside the schema version
// in user_version, so that another program's database is never taken for one.
constexpr int kApplicationId = 0x4B524C42;
// How long a store waits for another program that is writing to the same library.
constexpr int kBusyTimeoutMs = 30000;

// Blocks are clustered by run: a run's blocks are appended in one piece when it is imported and
// removed in one piece, and every question (a block's history, a km range's forecast, the condition
// map) is asked run by run over the runs of one series, each answered by one seek or one short range
// of the primary key.
constexpr const char* kSchema = R"sql(
CREATE TABLE series (
    id INTEGER PRIMARY KEY,
    line TEXT NOT NULL,
    direction INTEGER NOT NULL,
    UNIQUE (line, direction)
);
CREATE TABLE runs (
    id INTEGER PRIMARY KEY,
    series INTEGER NOT NULL REFERENCES series (id),
    day INTEGER NOT NULL,
    date_text TEXT NOT NULL,
    run_number TEXT NOT NULL,
    blocks INTEGER NOT NULL,
    km_low INTEGER NOT NULL,
    km_high INTEGER NOT NULL,
    file TEXT NOT NULL,
    content_hash BLOB NOT NULL UNIQUE
);
CREATE INDEX runs_of_series ON runs (series, day, run_number, id);
CREATE TABLE block_values (
    run INTEGER NOT NULL,
    km INTEGER NOT NULL,
    block INTEGER NOT NULL,
    tgi INTEGER NOT NULL,
    tgiu INTEGER NOT NULL,
    tgiw INTEGER NOT NULL,
    tgig INTEGER NOT NULL,
    tgil INTEGER NOT NULL,
    PRIMARY KEY (run, km, block)
) WITHOUT ROWID;
)sql";

// Column names of the five indices (fixed texts of this program, never typed ones).
constexpr std::array<const char*, 5> kIndexColumns = {"tgi", "tgiu", "tgiw", "tgig", "tgil"};

// What a failing SQLite call means to the user.
[[noreturn]] void failWith(sqlite3* db, int rc, const std::string& path, std::string_view doing) {
    const int primary = rc & 0xff;
    std::string detail = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    switch (primary) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        throw LibraryError(std::string(kDamagedLibraryMessage) + " (" + detail + ")", path);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw LibraryError(std::string(kLibraryBusyMessage), path);
    case SQLITE_READONLY:
        throw LibraryError("the run library cannot be written (" + detail + ")", path);
    case SQLITE_FULL:
        throw LibraryError("the disk holding the run library is full", path);
    default:
        throw LibraryError("the run library failed while " + std::string(doing) + " (" + detail + ")", path);
    }
}

class Statement {
public:
    Statement(sqlite3* db, const std::string& path, const std::string& sql) : db_(db), path_(&path) {
        const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr);
        if (rc != SQLITE_OK) {
            failWith(db, rc, path, "reading its tables");
        }
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(stmt_); }

    // Ready to bind from the first parameter again; every parameter is bound before each step.
    Statement& reset() {
        sqlite3_reset(stmt_);
        next_ = 1;
        return *this;
    }
    Statement& bind(long long value) {
        check(sqlite3_bind_int64(stmt_, next_++, value));
        return *this;
    }
    Statement& bind(std::string_view text) {
        check(
            sqlite3_bind_text(stmt_, next_++, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
        return *this;
    }
    Statement& bind(const Sha256Digest& digest) {
        check(sqlite3_bind_blob(stmt_, next_++, digest.data(), static_cast<int>(digest.size()),
                                SQLITE_TRANSIENT));
        return *this;
    }
    // True while there is a row.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) {
            return true;
        }
        if (rc != SQLITE_DONE) {
            const int code = sqlite3_reset(stmt_);
            failWith(db_, code != SQLITE_OK ? code : rc, *path_, "reading or writing runs");
        }
        return false;
    }
    long long integer(int column) const { return sqlite3_column_int64(stmt_, column); }
    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
    std::string text(int column) const {
        const auto* chars = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
        return chars != nullptr
                   ? std::string(chars, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
                   : std::string();
    }

private:
    void check(int rc) {
        if (rc != SQLITE_OK) {
            failWith(db_, rc, *path_, "binding a value");
        }
    }
    sqlite3* db_;
    const std::string* path_;
    sqlite3_stmt* stmt_ = nullptr;
    int next_ = 1;
};

bool looksLikeSqliteFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[16] = {};
    in.read(magic, sizeof magic);
    return in.gcount() == sizeof magic &&
           std::string_view(magic, sizeof magic) == std::string_view("SQLite format 3\0", 16);
}

// sqlite3_open_v2 may read a name beginning with "file:" as a URI when the library is so built; a
// relative path written "./file:..." is the same file and never a URI.
std::string plainPathForSqlite(const std::string& path) {
    return path.rfind("file:", 0) == 0 ? "./" + path : path;
}

class SqliteRunLibrary final : public RunLibrary {
public:
    SqliteRunLibrary(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {}
    ~SqliteRunLibrary() override { sqlite3_close_v2(db_); }

    std::string location() const override { return path_; }

    void execute(const char* sql, std::string_view doing) const {
        const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            failWith(db_, rc, path_, doing);
        }
    }

    long long pragmaValue(const char* sql) const {
        Statement statement(db_, path_, sql);
        return statement.step() ? statement.integer(0) : 0;
    }

    // Makes a new file a library; a file another program made meanwhile is left as it is.
    void createSchemaIfEmpty() {
        execute("BEGIN IMMEDIATE", "creating the library");
        try {
            if (pragmaValue("PRAGMA application_id") == 0 &&
                pragmaValue("SELECT count(*) FROM sqlite_master") == 0) {
                execute(kSchema, "creating the library");
                execute(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str(),
                        "creating the library");
                execute(("PRAGMA user_version = " + std::to_string(kLibrarySchemaVersion)).c_str(),
                        "creating the library");
            }
            execute("COMMIT", "creating the library");
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    }

    void checkIsLibrary() const {
        if (pragmaValue("PRAGMA application_id") != kApplicationId) {
            throw LibraryError(std::string(kNotALibraryMessage), path_);
        }
        const long long version = pragmaValue("PRAGMA user_version");
        if (version > kLibrarySchemaVersion) {
            throw LibraryError(std::string(kNewerLibraryMessage) + " (library version " +
                                   std::to_string(version) + ", this program writes version " +
                                   std::to_string(kLibrarySchemaVersion) + ")",
                               path_);
        }
        const long long tables = pragmaValue("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                             "name IN ('series', 'runs', 'block_values')");
        if (version < 1 || tables != 3) {
            throw LibraryError(std::string(kDamagedLibraryMessage) + " (its tables are missing)", path_);
        }
    }

    bool containsContent(const Sha256Digest& contentHash) const override {
        Statement& query = statement(contentQuery_, "SELECT 1 FROM runs WHERE content_hash = ?");
        query.reset().bind(contentHash);
        return query.step();
    }

    AddOutcome addRun(const LoadedRun& run) override {
        // BEGIN IMMEDIATE takes the write lock at once, so two programs importing at the same time
        // take turns run by run (the busy timeout makes the second wait) and the content check below
        // sees every run the other has committed.
        execute("BEGIN IMMEDIATE", "starting to store a run");
        try {
            if (containsContent(run.contentHash)) {
                execute("ROLLBACK", "storing a run");
                return AddOutcome::AlreadyThere;
            }
            const long long seriesId = seriesIdCreating(run.series);
            std::int16_t kmLow = 0, kmHigh = 0;
            if (!run.blocks.empty()) {
                const auto [low, high] = std::minmax_element(
                    run.blocks.begin(), run.blocks.end(),
                    [](const StoredBlock& a, const StoredBlock& b) { return a.key.km < b.key.km; });
                kmLow = low->key.km;
                kmHigh = high->key.km;
            }
            Statement& insertRun = statement(
                insertRun_,
                "INSERT INTO runs (series, day, date_text, run_number, blocks, km_low, km_high, file, "
                "content_hash) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
            insertRun.reset()
                .bind(seriesId)
                .bind(run.day)
                .bind(run.dateText)
                .bind(run.runNumber)
                .bind(static_cast<long long>(run.blocks.size()))
                .bind(kmLow)
                .bind(kmHigh)
                .bind(run.file)
                .bind(run.contentHash);
            insertRun.step();
            const long long runId = sqlite3_last_insert_rowid(db_);
            // Rows go in batches of kBatchRows per statement: a third less time per run than one
            // statement per row.
            Statement& batch = statement(insertBatch_, insertBlocksSql(kBatchRows));
            Statement& single = statement(insertBlock_, insertBlocksSql(1));
            std::size_t next = 0;
            for (; next + kBatchRows <= run.blocks.size(); next += kBatchRows) {
                batch.reset();
                for (std::size_t i = next; i < next + kBatchRows; ++i) {
                    bindBlock(batch, runId, run.blocks[i]);
                }
                batch.step();
            }
            for (; next < run.blocks.size(); ++next) {
                bindBlock(single.reset(), runId, run.blocks[next]);
                single.step();
            }
            execute("COMMIT", "storing a run");
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        return AddOutcome::Added;
    }

    bool removeRun(RunId run) override {
        execute("BEGIN IMMEDIATE", "removing a run");
        try {
            Statement findSeries(db_, path_, "SELECT series FROM runs WHERE id = ?");
            findSeries.bind(run);
            if (!findSeries.step()) {
                execute("ROLLBACK", "removing a run");
                return false;
            }
            const long long seriesId = findSeries.integer(0);
            Statement removeBlocks(db_, path_, "DELETE FROM block_values WHERE run = ?");
            removeBlocks.bind(run).step();
            Statement removeRunRow(db_, path_, "DELETE FROM runs WHERE id = ?");
            removeRunRow.bind(run).step();
            Statement removeEmptySeries(db_, path_,
                                        "DELETE FROM series WHERE id = ? AND NOT EXISTS "
                                        "(SELECT 1 FROM runs WHERE series = ?)");
            removeEmptySeries.bind(seriesId).bind(seriesId).step();
            execute("COMMIT", "removing a run");
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        return true;
    }

    std::vector<RunRecord> runs() const override {
        std::vector<RunRecord> records = readRuns(kRunSelect, std::nullopt);
        std::sort(records.begin(), records.end(), [](const RunRecord& a, const RunRecord& b) {
            if (a.series != b.series) {
                return a.series < b.series;
            }
            return runComesBefore(a, b);
        });
        return records;
    }

    std::vector<RunRecord> runsOf(const Series& series) const override {
        std::vector<RunRecord> records =
            readRuns(std::string(kRunSelect) + " WHERE s.line = ? AND s.direction = ?", series);
        std::sort(records.begin(), records.end(), runComesBefore);
        return records;
    }

    std::vector<Series> series() const override {
        Statement query(db_, path_, "SELECT line, direction FROM series");
        std::vector<Series> all;
        while (query.step()) {
            all.push_back(Series{query.text(0), static_cast<int>(query.integer(1))});
        }
        std::sort(all.begin(), all.end());
        return all;
    }

    std::optional<KmRange> kmRangeOf(const Series& series) const override {
        Statement query(db_, path_,
                        "SELECT min(r.km_low), max(r.km_high) FROM runs r JOIN series s ON s.id = r.series "
                        "WHERE s.line = ? AND s.direction = ?");
        query.bind(series.line).bind(series.direction);
        if (!query.step() || query.isNull(0)) {
            return std::nullopt;
        }
        return KmRange{static_cast<std::int16_t>(query.integer(0)),
                       static_cast<std::int16_t>(query.integer(1))};
    }

    std::vector<RunValue> blockValues(const Series& series, const BlockKey& block,
                                      BlockIndex index) const override {
        // One statement: SQLite walks the runs of the series and seeks the block in each.
        Statement& query =
            statement(valueQueries_[static_cast<std::size_t>(index)],
                      std::string("SELECT r.id, r.day, r.date_text, r.run_number, r.blocks, r.file, b.") +
                          kIndexColumns[static_cast<std::size_t>(index)] +
                          " FROM series s JOIN runs r ON r.series = s.id JOIN block_values b ON b.run = r.id "
                          "AND b.km = ? "
                          "AND b.block = ? WHERE s.line = ? AND s.direction = ?");
        query.reset().bind(block.km).bind(block.block).bind(series.line).bind(series.direction);
        std::vector<RunValue> values;
        while (query.step()) {
            RunRecord run;
            run.id = query.integer(0);
            run.series = series;
            run.day = static_cast<Day>(query.integer(1));
            run.dateText = query.text(2);
            run.runNumber = query.text(3);
            run.blocks = static_cast<long>(query.integer(4));
            run.file = query.text(5);
            values.push_back(RunValue{std::move(run), static_cast<std::int16_t>(query.integer(6))});
        }
        std::sort(values.begin(), values.end(),
                  [](const RunValue& a, const RunValue& b) { return runComesBefore(a.run, b.run); });
        return values;
    }

    std::vector<RunValues> valuesInRange(const Series& series, const KmRange& range, BlockIndex index,
                                         std::span<const RunId> onlyRuns) const override {
        std::vector<RunValues> result;
        std::unordered_map<RunId, std::size_t> rowOfRun;
        for (RunRecord& run : runsOf(series)) {
            if (onlyRuns.empty() || std::find(onlyRuns.begin(), onlyRuns.end(), run.id) != onlyRuns.end()) {
                rowOfRun.emplace(run.id, result.size());
                result.push_back(RunValues{std::move(run), {}});
            }
        }
        const std::string column = kIndexColumns[static_cast<std::size_t>(index)];
        auto collect = [&](Statement& query) {
            while (query.step()) {
                const auto row = rowOfRun.find(query.integer(0));
                if (row != rowOfRun.end()) {
                    result[row->second].values.push_back(
                        BlockValue{BlockKey{static_cast<std::int16_t>(query.integer(1)),
                                            static_cast<std::int16_t>(query.integer(2))},
                                   static_cast<std::int16_t>(query.integer(3))});
                }
            }
        };
        if (onlyRuns.empty()) {
            // Every run of the series: one statement, a short range of the key in each run.
            Statement& query = statement(
                seriesRangeQueries_[static_cast<std::size_t>(index)],
                "SELECT b.run, b.km, b.block, b." + column +
                    " FROM series s JOIN runs r ON r.series = s.id JOIN block_values b ON b.run = r.id "
                    "AND b.km BETWEEN ? AND ? WHERE s.line = ? AND s.direction = ?");
            query.reset().bind(range.low).bind(range.high).bind(series.line).bind(series.direction);
            collect(query);
        } else {
            Statement& query = statement(rangeQueries_[static_cast<std::size_t>(index)],
                                         "SELECT run, km, block, " + column +
                                             " FROM block_values WHERE run = ? AND km BETWEEN ? AND ?");
            for (const RunValues& run : result) {
                query.reset().bind(run.run.id).bind(range.low).bind(range.high);
                collect(query);
            }
        }
        // The key order of each run, which the primary key search gives already; a sort of the result
        // would cost more than checking it.
        const auto byKey = [](const BlockValue& a, const BlockValue& b) { return a.key < b.key; };
        for (RunValues& run : result) {
            if (!std::is_sorted(run.values.begin(), run.values.end(), byKey)) {
                std::sort(run.values.begin(), run.values.end(), byKey);
            }
        }
        return result;
    }

private:
    static constexpr std::size_t kBatchRows = 64;

    static std::string insertBlocksSql(std::size_t rows) {
        std::string sql =
            "INSERT OR IGNORE INTO block_values (run, km, block, tgi, tgiu, tgiw, tgig, tgil) VALUES ";
        for (std::size_t i = 0; i < rows; ++i) {
            sql += i == 0 ? "(?, ?, ?, ?, ?, ?, ?, ?)" : ", (?, ?, ?, ?, ?, ?, ?, ?)";
        }
        return sql;
    }
    static void bindBlock(Statement& statement, long long runId, const StoredBlock& block) {
        statement.bind(runId).bind(block.key.km).bind(block.key.block);
        for (std::int16_t value : block.values) {
            statement.bind(value);
        }
    }

    static constexpr const char* kRunSelect =
        "SELECT r.id, s.line, s.direction, r.day, r.date_text, r.run_number, r.blocks, r.file "
        "FROM runs r JOIN series s ON s.id = r.series";

    std::vector<RunRecord> readRuns(const std::string& sql, const std::optional<Series>& series) const {
        Statement query(db_, path_, sql);
        if (series) {
            query.bind(series->line).bind(series->direction);
        }
        std::vector<RunRecord> records;
        while (query.step()) {
            RunRecord record;
            record.id = query.integer(0);
            record.series = Series{query.text(1), static_cast<int>(query.integer(2))};
            record.day = static_cast<Day>(query.integer(3));
            record.dateText = query.text(4);
            record.runNumber = query.text(5);
            record.blocks = static_cast<long>(query.integer(6));
            record.file = query.text(7);
            records.push_back(std::move(record));
        }
        return records;
    }

    long long seriesIdCreating(const Series& series) {
        Statement insert(db_, path_, "INSERT OR IGNORE INTO series (line, direction) VALUES (?, ?)");
        insert.bind(series.line).bind(series.direction).step();
        Statement find(db_, path_, "SELECT id FROM series WHERE line = ? AND direction = ?");
        find.bind(series.line).bind(series.direction);
        if (!find.step()) {
            throw LibraryError(std::string(kDamagedLibraryMessage) + " (a line could not be stored)", path_);
        }
        return find.integer(0);
    }

    // A prepared statement kept for the library's lifetime (the questions are asked run by run).
    Statement& statement(std::unique_ptr<Statement>& slot, const std::string& sql) const {
        if (!slot) {
            slot = std::make_unique<Statement>(db_, path_, sql);
        }
        return *slot;
    }

    sqlite3* db_;
    std::string path_;
    mutable std::unique_ptr<Statement> contentQuery_, insertRun_, insertBlock_, insertBatch_;
    mutable std::array<std::unique_ptr<Statement>, 5> valueQueries_, rangeQueries_, seriesRangeQueries_;
};

} // namespace

bool runComesBefore(const RunRecord& a, const RunRecord& b) {
    if (a.day != b.day) {
        return a.day < b.day;
    }
    if (a.runNumber != b.runNumber) {
        return a.runNumber < b.runNumber;
    }
    return a.id < b.id;
}

std::string defaultLibraryPath() {
    return platform::joinPath(platform::homeFolder(), kLibraryFileName);
}

std::unique_ptr<RunLibrary> openSqliteLibrary(const std::string& path, LibraryAccess access) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    const bool exists = fs::exists(status);
    if (!exists) {
        if (access == LibraryAccess::OpenExisting) {
            throw LibraryError(std::string(kNoLibraryMessage), path);
        }
    } else if (!fs::is_regular_file(status) || !looksLikeSqliteFile(path)) {
        // Checked before SQLite sees the file, so that nothing is ever written into a stranger's file.
        throw LibraryError(std::string(kNotALibraryMessage), path);
    }
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (exists ? 0 : SQLITE_OPEN_CREATE) | SQLITE_OPEN_EXRESCODE;
    const int rc = sqlite3_open_v2(plainPathForSqlite(path).c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string detail = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        throw LibraryError((exists ? "cannot open the run library (" : "cannot create the run library (") +
                               detail + ")",
                           path);
    }
    auto library = std::make_unique<SqliteRunLibrary>(db, path);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Imports write many rows per run; a larger page cache keeps the tree's upper pages in memory.
    library->execute("PRAGMA cache_size = -8192", "opening");
    if (!exists) {
        library->createSchemaIfEmpty();
    }
    library->checkIsLibrary();
    return library;
}

} // namespace kestrana::history
