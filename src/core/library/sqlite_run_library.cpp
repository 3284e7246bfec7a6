// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/library/sqlite_run_library.h"

#include "core/common/paths.h"
#include "core/defects/peak_packing.h"
#include "core/library/run_rows.h"
#include "core/storage/sqlite_database.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <unordered_map>

namespace kestrana::library {

namespace {

using common::fileProblemText;

// Marks the file as a Kestrana run library ("KRLB") in the SQLite header, beside the schema version
// in user_version, so that another program's database is never taken for one.
constexpr int kApplicationId = 0x4B524C42;
// How long a store waits for another program that is writing to the same library.
constexpr int kBusyTimeoutMs = 30000;

// Blocks are clustered by run: a run's blocks are appended in one piece when it is imported and
// removed in one piece, and every question (a block's history, a km range's forecast, the condition
// map) is asked run by run over the runs of one series, each answered by one seek or one short range
// of the primary key.
//
// A library's schema is the first version's below with every later step applied in order; a new
// library is made the same way, so that a library upgraded in place and one made new are the same in
// every object. The texts are stored in the file as written here and are what a library's objects are
// checked against, so a text once released never changes: a change is a new step.
constexpr const char* kFirstSchema = R"sql(
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

// The first version that keeps the peaks of its runs.
constexpr int kPeaksVersion = 2;
// The first version that keeps who took each run in and when, and every removal.
constexpr int kAuditTrailVersion = 3;

// One step of the schema: from version toVersion - 1 to toVersion. A new library is made by the first
// schema and every step, so that a library made new and one upgraded hold the same objects, each written
// the same way.
struct SchemaStep {
    int toVersion;
    const char* sql;
};

constexpr SchemaStep kSchemaSteps[] = {
    // 1 to 2: the peaks of each run, in parts of one km from in file order (defects/peak_packing.h); a
    // run stored with no peak at all has one empty part, so that it is known to have its peaks. The
    // index finds a km range's parts without reading the others' peaks.
    {kPeaksVersion, R"sql(
CREATE TABLE run_peaks (
    run INTEGER NOT NULL,
    part INTEGER NOT NULL,
    km INTEGER NOT NULL,
    peaks BLOB NOT NULL,
    PRIMARY KEY (run, part)
) WITHOUT ROWID;
CREATE INDEX run_peaks_by_km ON run_peaks (run, km, part);
)sql"},
    // 2 to 3: the audit trail (who took each run in and when, every removal), and run ids never given
    // twice (AUTOINCREMENT), so that an id a screen or a script holds never names a later run. The runs
    // table is made anew under its name, as adding columns would change its stored text.
    {kAuditTrailVersion, R"sql(
ALTER TABLE runs RENAME TO runs_of_version_1;
CREATE TABLE runs (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    series INTEGER NOT NULL REFERENCES series (id),
    day INTEGER NOT NULL,
    date_text TEXT NOT NULL,
    run_number TEXT NOT NULL,
    blocks INTEGER NOT NULL,
    km_low INTEGER NOT NULL,
    km_high INTEGER NOT NULL,
    file TEXT NOT NULL,
    content_hash BLOB NOT NULL UNIQUE,
    imported_at INTEGER,
    imported_by TEXT
);
INSERT INTO runs (id, series, day, date_text, run_number, blocks, km_low, km_high, file, content_hash)
    SELECT id, series, day, date_text, run_number, blocks, km_low, km_high, file, content_hash
    FROM runs_of_version_1;
DROP TABLE runs_of_version_1;
CREATE INDEX runs_of_series ON runs (series, day, run_number, id);
CREATE TABLE removals (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    removed_at INTEGER NOT NULL,
    removed_by TEXT NOT NULL,
    run INTEGER NOT NULL,
    line TEXT NOT NULL,
    direction INTEGER NOT NULL,
    day INTEGER NOT NULL,
    date_text TEXT NOT NULL,
    run_number TEXT NOT NULL,
    file TEXT NOT NULL,
    content_hash BLOB NOT NULL,
    imported_at INTEGER,
    imported_by TEXT
);
)sql"},
};

static_assert(std::size(kSchemaSteps) > 0 && std::end(kSchemaSteps)[-1].toVersion == kLibrarySchemaVersion,
              "the last step of the schema is the version this program writes");

// Column names of the five indices (fixed texts of this program, never typed ones).
constexpr std::array<const char*, 5> kIndexColumns = {"tgi", "tgiu", "tgiw", "tgig", "tgil"};

std::function<void(const std::string&)>& beforeInPlaceHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

// Which file a library is, whatever name leads to it: its device, its inode and the time it was made,
// so that a later file given a freed inode is another file.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    long long bornNs = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

// Where the file system does not record when a file was made, a file cannot be told from a later one
// on its inode: it is then checked before the first write of every connection.
std::optional<FileIdentity> identityOf(const std::string& path) {
    struct statx info {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_INO | STATX_BTIME, &info) != 0 ||
        (info.stx_mask & STATX_BTIME) == 0) {
        return std::nullopt;
    }
    return FileIdentity{makedev(info.stx_dev_major, info.stx_dev_minor), info.stx_ino,
                        static_cast<long long>(info.stx_btime.tv_sec) * 1000000000LL +
                            info.stx_btime.tv_nsec};
}

// The libraries this program has found sound: SQLite's quick check reads a whole file (seconds for a
// library of hundreds of runs), so it is made once per program and file, not before every import.
std::mutex soundFilesMutex;
std::set<FileIdentity> soundFiles; // guarded by soundFilesMutex

enum class CheckResult { Sound, Damaged, NotChecked };

// SQLite's quick check of the whole file: every page, every record, every index entry's place.
CheckResult quickCheck(sqlite3* db, int& failure) {
    sqlite3_stmt* stmt = nullptr;
    failure = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &stmt, nullptr);
    if (failure != SQLITE_OK) {
        sqlite3_finalize(stmt);
    } else {
        failure = sqlite3_step(stmt);
        const bool sound =
            failure == SQLITE_ROW &&
            std::string_view(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))) == "ok";
        const bool answered = failure == SQLITE_ROW;
        failure = sqlite3_finalize(stmt);
        if (answered) {
            return sound ? CheckResult::Sound : CheckResult::Damaged;
        }
    }
    const int primary = failure & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB ? CheckResult::Damaged
                                                                 : CheckResult::NotChecked;
}

// One open SQLite file and what its failures mean to the user. The path is the one the user named,
// also while a new library is built under another name beside it.
class Connection final : public storage::SqliteDatabase {
public:
    Connection(sqlite3* db, std::string path) : SqliteDatabase(db, std::move(path)) {}

    sqlite3* db() const { return handle(); }

    [[noreturn]] void fail(int rc, storage::SqliteStage stage, std::string_view what) const override {
        switch (stage) {
        case storage::SqliteStage::Preparing:
            fail(rc, "reading its tables");
        case storage::SqliteStage::Binding:
            fail(rc, "binding a value");
        case storage::SqliteStage::Stepping:
            break;
        }
        fail(rc, what.empty() ? std::string_view("reading or writing runs") : what);
    }

    // Throws LibraryError with the message of a failed SQLite call in words: no SQLite jargon, since
    // the user can do nothing with it; the system's own reason (permission denied, file too large, no
    // space) where there is one. Memory running out is std::bad_alloc, as anywhere else.
    [[noreturn]] void fail(int rc, std::string_view doing) const {
        const int systemError = lastSystemError();
        switch (rc & 0xff) {
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            noteDamageMet();
            throw LibraryError(std::string(kDamagedLibraryMessage), path());
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw LibraryError(std::string(kLibraryBusyMessage), path());
        case SQLITE_NOMEM:
            throw std::bad_alloc();
        case SQLITE_READONLY:
            throw LibraryError("the run library cannot be written: " +
                                   (systemError != 0 ? fileProblemText(systemError) : "permission denied"),
                               path());
        case SQLITE_FULL:
            throw LibraryError("the run library cannot be written: " + fileProblemText(ENOSPC), path());
        default:
            throw LibraryError("the run library failed while " + std::string(doing) +
                                   (systemError != 0 ? ": " + fileProblemText(systemError) : std::string()),
                               path());
        }
    }

    // The system's reason for the last failed operation on the file: the library file's own, which
    // SQLite keeps with the file, else the one it noted for the connection (a journal's, say).
    int lastSystemError() const {
        int fileError = 0;
        if (sqlite3_file_control(db(), "main", SQLITE_FCNTL_LAST_ERRNO, &fileError) == SQLITE_OK &&
            fileError != 0) {
            return fileError;
        }
        sqlite3_file* journal = nullptr;
        if (sqlite3_file_control(db(), "main", SQLITE_FCNTL_JOURNAL_POINTER, &journal) == SQLITE_OK &&
            journal != nullptr && journal->pMethods != nullptr &&
            journal->pMethods->xFileControl(journal, SQLITE_FCNTL_LAST_ERRNO, &fileError) == SQLITE_OK &&
            fileError != 0) {
            return fileError;
        }
        return sqlite3_system_errno(db());
    }

    // Refuses to write into a damaged file: SQLite's quick check reads it whole before this program
    // first writes to it (a library just made here has nothing to check).
    void checkBeforeWriting() const {
        if (!damaged_ && !checked_ && !knownSound()) {
            int failure = SQLITE_OK;
            const CheckResult result = quickCheck(db(), failure);
            if (result == CheckResult::NotChecked) {
                fail(failure, "checking the library");
            }
            damaged_ = result == CheckResult::Damaged;
            if (!damaged_) {
                rememberSound();
            }
        }
        checked_ = true;
        if (damaged_) {
            throw LibraryError(std::string(kDamagedLibraryMessage), path());
        }
    }

    // Under a file-size limit (ulimit -f) smaller than the file, a page past the limit could be changed
    // but not put back, which would leave the journal behind for the next program to roll back; such a
    // library is not written at all. A library within the limit may grow up to it: a write past it
    // fails, and SQLite rolls back at once, as the old pages all lie within the limit.
    void checkFileSizeLimit() const {
        struct rlimit limit {};
        if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
            return;
        }
        sqlite3_stmt* stmt = nullptr;
        long long size = 0;
        if (sqlite3_prepare_v2(db(),
                               "SELECT page_count * page_size FROM pragma_page_count(), pragma_page_size()",
                               -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            size = sqlite3_column_int64(stmt, 0);
        }
        sqlite3_finalize(stmt);
        if (static_cast<unsigned long long>(size) > limit.rlim_cur) {
            throw LibraryError("the run library cannot be written: " + fileProblemText(EFBIG) +
                                   " (it is larger than the file-size limit this program runs under)",
                               path());
        }
    }

    // A question met damage: the file may have been sound when it was checked and damaged since (by
    // another program, or on the disk), so it is checked again before anything more is written.
    void noteDamageMet() const {
        if (identity_) {
            const std::lock_guard<std::mutex> guard(soundFilesMutex);
            soundFiles.erase(*identity_);
        }
        int failure = SQLITE_OK;
        damaged_ = quickCheck(db(), failure) != CheckResult::Sound;
        checked_ = !damaged_;
    }

    // The file this connection has open, taken when it was opened under its name.
    void setIdentity(std::optional<FileIdentity> identity) { identity_ = identity; }

    // The file has just been made by this program: there is nothing to check in it.
    void noteNewFile() const {
        checked_ = true;
        rememberSound();
    }

private:
    bool knownSound() const {
        const std::lock_guard<std::mutex> guard(soundFilesMutex);
        return identity_ && soundFiles.count(*identity_) > 0;
    }
    void rememberSound() const {
        if (identity_) {
            const std::lock_guard<std::mutex> guard(soundFilesMutex);
            soundFiles.insert(*identity_);
        }
    }

    std::optional<FileIdentity> identity_;
    mutable bool checked_ = false;
    mutable bool damaged_ = false;
};

using Statement = storage::SqliteStatement;

// The current row of a statement, as run_rows.h reads rows.
struct StatementRow {
    const Statement& statement;
    long long integer(int column) const { return statement.integer(column); }
    std::string text(int column) const { return statement.text(column); }
    bool isNull(int column) const { return statement.isNull(column); }
    Sha256Digest digest(int column) const {
        const std::string bytes = statement.bytes(column);
        Sha256Digest digest{};
        std::copy_n(bytes.begin(), std::min(bytes.size(), digest.size()), digest.begin());
        return digest;
    }
};

// A write transaction: BEGIN IMMEDIATE takes the write lock at once, so two programs writing at the
// same time take turns (the busy timeout makes the second wait) and each sees all the other has
// committed. The file is checked whole before this program first writes to it. Rolled back unless
// committed.
class WriteTransaction {
public:
    WriteTransaction(const Connection& connection, std::string_view doing) : connection_(connection) {
        connection.execute("BEGIN IMMEDIATE", doing);
        open_ = true;
        connection.checkBeforeWriting();
        connection.checkFileSizeLimit();
    }
    ~WriteTransaction() {
        if (open_) {
            sqlite3_exec(connection_.db(), "ROLLBACK", nullptr, nullptr, nullptr);
            // A write that failed half-way (a file-size limit, a full disk) can leave SQLite unable to
            // roll back at once, the old pages kept in the journal; the next reading puts them back and
            // removes the journal, which is done now rather than left to whoever opens the file next.
            sqlite3_exec(connection_.db(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        }
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void commit(std::string_view doing) {
        connection_.execute("COMMIT", doing);
        open_ = false;
    }

private:
    const Connection& connection_;
    bool open_ = false;
};

// The objects of a library's file (tables, indexes, triggers, views) as SQLite lists them.
struct SchemaObject {
    std::string type;
    std::string name;
    std::string table;
    std::string sql;
    bool isNull = false;
    auto operator<=>(const SchemaObject&) const = default;
};

std::vector<SchemaObject> schemaObjectsOf(const Connection& connection) {
    Statement query(connection, "SELECT type, name, tbl_name, sql FROM sqlite_master");
    std::vector<SchemaObject> objects;
    while (query.step()) {
        SchemaObject object{query.text(0), query.text(1), query.text(2), query.text(3), query.isNull(3)};
        // The statistics an ANALYZE leaves are SQLite's own, not objects of the library.
        if (object.type == "table" && object.name.starts_with("sqlite_stat")) {
            continue;
        }
        objects.push_back(std::move(object));
    }
    std::sort(objects.begin(), objects.end());
    return objects;
}

// Applies the steps from version `from` to version `to` (within the caller's transaction) and marks the
// file with its new version.
void applySchemaSteps(const Connection& connection, long long from, int to) {
    for (const SchemaStep& step : kSchemaSteps) {
        if (step.toVersion > from && step.toVersion <= to) {
            connection.execute(step.sql, "upgrading the library");
        }
    }
    connection.execute("PRAGMA user_version = " + std::to_string(to), "upgrading the library");
}

// The schema of `version` into an empty file, in one transaction.
void createSchema(const Connection& connection, int version = kLibrarySchemaVersion) {
    connection.execute("BEGIN IMMEDIATE", "creating the library");
    try {
        connection.execute(kFirstSchema, "creating the library");
        connection.execute("PRAGMA application_id = " + std::to_string(kApplicationId),
                           "creating the library");
        applySchemaSteps(connection, 1, version);
        connection.execute("COMMIT", "creating the library");
    } catch (...) {
        sqlite3_exec(connection.db(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

// The objects a library of `version` holds, exactly: the schema made in memory and listed.
const std::vector<SchemaObject>& librarySchemaObjects(int version) {
    static std::mutex mutex;
    static std::map<int, std::vector<SchemaObject>> objects;
    const std::lock_guard<std::mutex> guard(mutex);
    auto known = objects.find(version);
    if (known == objects.end()) {
        const storage::SqliteOpening opened = storage::openSqliteMemory();
        if (opened.handle == nullptr) {
            throw std::bad_alloc();
        }
        const Connection memory(opened.handle, ":memory:");
        createSchema(memory, version);
        known = objects.emplace(version, schemaObjectsOf(memory)).first;
    }
    return known->second;
}

// Opens an SQLite file that exists, for reading and writing where the file allows it. `shownPath` is
// the path messages name.
std::unique_ptr<Connection> openConnection(const std::string& file, const std::string& shownPath) {
    const storage::SqliteOpening opened = storage::openSqliteFile(file, SQLITE_OPEN_READWRITE);
    if (opened.handle == nullptr) {
        if ((opened.resultCode & 0xff) == SQLITE_NOMEM) {
            throw std::bad_alloc();
        }
        throw LibraryError(
            "the run library cannot be opened" +
                (opened.systemError != 0 ? ": " + fileProblemText(opened.systemError) : std::string()),
            shownPath);
    }
    sqlite3* db = opened.handle;
    auto connection = std::make_unique<Connection>(db, shownPath);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // A library file is data from anywhere: nothing stored in it may run as code. Triggers and views
    // are off, the schema is not trusted to call functions, and SQL may not alter the file's structure.
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    // Imports write many rows per run; a larger page cache keeps the tree's upper pages in memory.
    connection->execute("PRAGMA cache_size = -8192", "opening");
    return connection;
}

// A new library's file, made beside its final name and removed (with its journal) unless it was put
// in place.
class BuildingFile {
public:
    explicit BuildingFile(std::string finalPath) : finalPath_(std::move(finalPath)) {
        static std::atomic<unsigned> serial{0};
        for (;;) {
            path_ = finalPath_ + ".building-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
            const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                ::close(fd);
                return;
            }
            if (errno != EEXIST) {
                const int problem = errno;
                path_.clear();
                throw LibraryError(problem == ENOENT
                                       ? std::string(kLibraryNoFolderMessage)
                                       : "the run library cannot be created: " + fileProblemText(problem),
                                   finalPath_);
            }
        }
    }
    ~BuildingFile() {
        if (!path_.empty()) {
            ::unlink((path_ + "-journal").c_str());
            ::unlink(path_.c_str());
        }
    }
    BuildingFile(const BuildingFile&) = delete;
    BuildingFile& operator=(const BuildingFile&) = delete;
    const std::string& path() const { return path_; }

    // Puts the file at its final name unless something stands there (true), flushed to disk first
    // and its folder after. A hard link leaves a library made meanwhile as it is, where a rename
    // would replace it; where the file system has no hard links, a rename that never replaces.
    bool putInPlace() {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            const int problem = errno;
            if (fd >= 0) {
                ::close(fd);
            }
            throw LibraryError("the run library cannot be created: " + fileProblemText(problem), finalPath_);
        }
        ::close(fd);
        int problem = 0;
        if (::link(path_.c_str(), finalPath_.c_str()) == 0) {
            common::syncFolderOf(finalPath_);
            return true;
        }
        problem = errno;
        if (problem == EPERM || problem == EOPNOTSUPP || problem == EXDEV || problem == EMLINK ||
            problem == ENOSYS) {
            if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, finalPath_.c_str(), RENAME_NOREPLACE) == 0) {
                path_.clear();
                common::syncFolderOf(finalPath_);
                return true;
            }
            problem = errno;
        }
        if (problem == EEXIST) {
            return false;
        }
        throw LibraryError("the run library cannot be created: " + fileProblemText(problem), finalPath_);
    }

private:
    std::string finalPath_;
    std::string path_;
};

class SqliteRunLibrary final : public RunLibrary {
public:
    explicit SqliteRunLibrary(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {}

    std::string location() const override { return connection_->path(); }

    // Refuses a file that is not a library of this program in every object it holds, or is newer.
    void checkIsLibrary() {
        const std::string& path = connection_->path();
        if (pragmaValue("PRAGMA application_id") != kApplicationId) {
            throw LibraryError(std::string(kNotALibraryMessage), path);
        }
        const long long version = pragmaValue("PRAGMA user_version");
        if (version > kLibrarySchemaVersion) {
            throw LibraryError(std::string(kNewerLibraryMessage) + " (library version " +
                                   std::to_string(version) + ", this program writes version " +
                                   std::to_string(kLibrarySchemaVersion) + ")",
                               path);
        }
        // A table, index, trigger or view it does not know, or one of its own changed, makes it a file
        // of another program, whatever its header says. An older library is used as it is and upgraded
        // when this program first writes to it.
        if (version < 1 || schemaObjectsOf(*connection_) != librarySchemaObjects(static_cast<int>(version))) {
            throw LibraryError(std::string(kNotALibraryMessage), path);
        }
        version_ = static_cast<int>(version);
    }

    const Connection& connection() const { return *connection_; }

    bool containsContent(const Sha256Digest& contentHash) const override {
        Statement& query = statement(contentQuery_, "SELECT 1 FROM runs WHERE content_hash = ?");
        query.reset().bindBytes(contentHash.data(), contentHash.size());
        const bool found = query.step();
        // A statement left on its row would keep the file's read lock after the transaction ends; a
        // program holding it that then wants to write meets another program waiting to commit, and SQLite
        // answers "busy" at once instead of waiting.
        query.reset();
        return found;
    }

    AddResult addRun(const LoadedRun& run) override {
        WriteTransaction transaction = beginWrite("starting to store a run");
        if (containsContent(run.contentHash)) {
            const long long stored = runIdOfContent(run.contentHash);
            if (run.peaks && !hasPeaks(stored)) {
                insertPeaks(stored, *run.peaks);
                transaction.commit("storing the peaks of a run");
                return {AddOutcome::PeaksAdded, std::nullopt};
            }
            return {AddOutcome::AlreadyThere, std::nullopt};
        }
        const std::optional<long long> knownSeries = seriesIdOf(run.series);
        if (knownSeries) {
            if (std::optional<RunRecord> same = sameRunAs(*knownSeries, run)) {
                return {AddOutcome::SameRunThere, std::move(same)};
            }
        }
        const long long seriesId = knownSeries ? *knownSeries : insertSeries(run.series);
        const KmRange span = kmSpanOf(run.blocks);
        const ImportStamp stamp = run.imported ? *run.imported : ImportStamp{utcNow(), operatingSystemUser()};
        Statement& insertRun =
            statement(insertRun_,
                      "INSERT INTO runs (series, day, date_text, run_number, blocks, km_low, km_high, file, "
                      "content_hash, imported_at, imported_by) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insertRun.reset()
            .bind(seriesId)
            .bind(run.day)
            .bind(run.dateText)
            .bind(run.runNumber)
            .bind(run.blocks.size())
            .bind(span.low)
            .bind(span.high)
            .bind(run.file)
            .bindBytes(run.contentHash.data(), run.contentHash.size());
        if (stamp.at) {
            insertRun.bind(*stamp.at);
        } else {
            insertRun.bindNull();
        }
        insertRun.bind(stamp.by);
        insertRun.step();
        const long long runId = sqlite3_last_insert_rowid(connection_->db());
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
        if (run.peaks) {
            insertPeaks(runId, *run.peaks);
        }
        transaction.commit("storing a run");
        return {AddOutcome::Added, std::nullopt};
    }

    std::vector<RunId> removeRuns(std::span<const RunId> ids) override {
        WriteTransaction transaction = beginWrite("removing runs");
        const std::vector<RunId> unique = distinctIds(ids);
        Statement findSeries(*connection_, "SELECT series FROM runs WHERE id = ?");
        std::vector<RunId> missing;
        std::set<long long> seriesIds;
        for (RunId id : unique) {
            if (findSeries.reset().bind(id).step()) {
                seriesIds.insert(findSeries.integer(0));
            } else {
                missing.push_back(id);
            }
        }
        if (!missing.empty()) {
            return missing;
        }
        // Each removal is recorded with the run as it was, in the same transaction.
        Statement record(
            *connection_,
            "INSERT INTO removals (removed_at, removed_by, run, line, direction, day, date_text, "
            "run_number, file, content_hash, imported_at, imported_by) SELECT ?, ?, r.id, s.line, "
            "s.direction, r.day, r.date_text, r.run_number, r.file, r.content_hash, r.imported_at, "
            "r.imported_by FROM runs r JOIN series s ON s.id = r.series WHERE r.id = ?");
        Statement removeBlocks(*connection_, "DELETE FROM block_values WHERE run = ?");
        Statement removeRunRow(*connection_, "DELETE FROM runs WHERE id = ?");
        const UtcMicroseconds now = utcNow();
        const std::string user = operatingSystemUser();
        Statement removePeaks(*connection_, "DELETE FROM run_peaks WHERE run = ?");
        for (RunId id : unique) {
            record.reset().bind(now).bind(user).bind(id).step();
            removeBlocks.reset().bind(id).step();
            removePeaks.reset().bind(id).step();
            removeRunRow.reset().bind(id).step();
        }
        Statement removeEmptySeries(*connection_, "DELETE FROM series WHERE id = ? AND NOT EXISTS "
                                                  "(SELECT 1 FROM runs WHERE series = ?)");
        for (long long seriesId : seriesIds) {
            removeEmptySeries.reset().bind(seriesId).bind(seriesId).step();
        }
        transaction.commit("removing runs");
        return {};
    }

    std::vector<RunRecord> runs() const override {
        std::vector<RunRecord> records = readRuns(runSelect(), std::nullopt);
        sortForListing(records);
        return records;
    }

    std::vector<StoredBlock> blocksOf(RunId run) const override {
        Statement query(*connection_, "SELECT km, block, tgi, tgiu, tgiw, tgig, tgil FROM block_values "
                                      "WHERE run = ? ORDER BY km, block");
        query.bind(run);
        std::vector<StoredBlock> blocks;
        while (query.step()) {
            blocks.push_back(storedBlockOf(StatementRow{query}));
        }
        return blocks;
    }

    std::vector<LogEntry> log() const override {
        // The imports of the runs there now and of the runs removed since, and the removals. A library
        // from before the audit trail knows neither who nor when.
        const std::string imports =
            fileVersion() >= kAuditTrailVersion
                ? "SELECT r.imported_at, r.imported_by, 0, r.id, s.line, s.direction, r.day, "
                  "r.run_number, r.file FROM runs r JOIN series s ON s.id = r.series UNION ALL "
                  "SELECT imported_at, imported_by, 0, run, line, direction, day, run_number, file "
                  "FROM removals UNION ALL SELECT removed_at, removed_by, 1, run, line, direction, day, "
                  "run_number, file FROM removals"
                : "SELECT NULL, NULL, 0, r.id, s.line, s.direction, r.day, r.run_number, r.file "
                  "FROM runs r JOIN series s ON s.id = r.series";
        Statement query(*connection_, imports);
        std::vector<LogEntry> entries;
        while (query.step()) {
            entries.push_back(logEntryOf(StatementRow{query}));
        }
        std::sort(entries.begin(), entries.end(), logComesBefore);
        return entries;
    }

    std::vector<RunRecord> runsOf(const Series& series) const override {
        std::vector<RunRecord> records =
            readRuns(runSelect() + " WHERE s.line = ? AND s.direction = ?", series);
        std::sort(records.begin(), records.end(), runComesBefore);
        return records;
    }

    std::vector<Series> series() const override {
        Statement query(*connection_, "SELECT line, direction FROM series");
        std::vector<Series> all;
        while (query.step()) {
            all.push_back(Series{query.text(0), static_cast<int>(query.integer(1))});
        }
        std::sort(all.begin(), all.end());
        return all;
    }

    std::optional<KmRange> kmRangeOf(const Series& series) const override {
        Statement query(*connection_,
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
            values.push_back(runValueOf(StatementRow{query}, series));
        }
        sortInRunOrder(values);
        return values;
    }

    std::vector<RunValues> valuesInRange(const Series& series, const KmRange& range, BlockIndex index,
                                         std::span<const RunId> onlyRuns) const override {
        std::vector<RunValues> result;
        for (RunRecord& run : runsOf(series)) {
            if (onlyRuns.empty() || std::find(onlyRuns.begin(), onlyRuns.end(), run.id) != onlyRuns.end()) {
                result.push_back(RunValues{std::move(run), {}});
            }
        }
        // Run by run in run order, each a short range of the primary key (so in key order): a third less
        // time than one statement over the series, whose rows would each have to find their run again.
        const std::string column = kIndexColumns[static_cast<std::size_t>(index)];
        Statement& query = statement(rangeQueries_[static_cast<std::size_t>(index)],
                                     "SELECT km, block, " + column +
                                         " FROM block_values WHERE run = ? AND km BETWEEN ? AND ?");
        for (RunValues& run : result) {
            run.values.reserve(static_cast<std::size_t>(std::max(0L, run.run.blocks)));
            query.reset().bind(run.run.id).bind(range.low).bind(range.high);
            while (query.step()) {
                run.values.push_back(BlockValue{BlockKey{static_cast<std::int16_t>(query.integer(0)),
                                                         static_cast<std::int16_t>(query.integer(1))},
                                                static_cast<std::int16_t>(query.integer(2))});
            }
            run.values.shrink_to_fit();
        }
        return result;
    }

    std::optional<defects::RunPeaks> peaksOfRun(RunId run, const std::optional<KmRange>& kms,
                                                std::span<const std::int16_t> codes) const override {
        if (fileVersion() < kPeaksVersion || !hasPeaks(run)) {
            return std::nullopt;
        }
        // A whole run is read in the order of its parts; a km range through the index by km (its few
        // parts sorted back into file order), which never reads the peaks of the rest of the run.
        Statement& query =
            kms ? statement(peaksInRangeQuery_, "SELECT km, peaks FROM run_peaks INDEXED BY run_peaks_by_km "
                                                "WHERE run = ? AND km BETWEEN ? AND ? ORDER BY part")
                : statement(peaksQuery_, "SELECT km, peaks FROM run_peaks WHERE run = ? ORDER BY part");
        query.reset().bind(run);
        if (kms) {
            query.bind(kms->low).bind(kms->high);
        }
        defects::RunPeaks peaks;
        while (query.step()) {
            if (!defects::unpackPeaks(static_cast<std::int16_t>(query.integer(0)), query.blob(1), codes,
                                      peaks)) {
                throw LibraryError(std::string(kDamagedLibraryMessage), connection_->path());
            }
        }
        peaks.shrink_to_fit();
        return peaks;
    }

    std::optional<std::int16_t> blockValueOfRun(RunId run, const BlockKey& block,
                                                BlockIndex index) const override {
        Statement& query = statement(blockQueries_[static_cast<std::size_t>(index)],
                                     std::string("SELECT ") + kIndexColumns[static_cast<std::size_t>(index)] +
                                         " FROM block_values WHERE run = ? AND km = ? AND block = ?");
        query.reset().bind(run).bind(block.km).bind(block.block);
        if (!query.step()) {
            return std::nullopt;
        }
        const auto value = static_cast<std::int16_t>(query.integer(0));
        query.reset();
        return value;
    }

private:
    static constexpr std::size_t kBatchRows = 64;

    long long runIdOfContent(const Sha256Digest& contentHash) const {
        Statement find(*connection_, "SELECT id FROM runs WHERE content_hash = ?");
        find.bindBytes(contentHash.data(), contentHash.size());
        return find.step() ? find.integer(0) : 0;
    }

    bool hasPeaks(long long run) const {
        Statement& query = statement(hasPeaksQuery_, "SELECT 1 FROM run_peaks WHERE run = ? LIMIT 1");
        query.reset().bind(run);
        const bool has = query.step();
        query.reset();
        return has;
    }

    void insertPeaks(long long run, const defects::RunPeaks& peaks) {
        Statement& insert =
            statement(insertPeaks_, "INSERT INTO run_peaks (run, part, km, peaks) VALUES (?, ?, ?, ?)");
        std::vector<defects::PackedPeakPart> parts = defects::packPeaks(peaks);
        if (parts.empty()) {
            parts.push_back({}); // known to have no peak at all
        }
        for (std::size_t part = 0; part < parts.size(); ++part) {
            insert.reset()
                .bind(run)
                .bind(static_cast<long long>(part))
                .bind(parts[part].km)
                .bindBytes(parts[part].bytes.data(), parts[part].bytes.size());
            insert.step();
        }
    }

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

    // The runs with what the library knows of their import (nothing before the audit trail).
    std::string runSelect() const {
        return std::string(
                   "SELECT r.id, s.line, s.direction, r.day, r.date_text, r.run_number, r.blocks, r.file, "
                   "r.content_hash, ") +
               (fileVersion() >= kAuditTrailVersion ? "r.imported_at, r.imported_by" : "NULL, NULL") +
               " FROM runs r JOIN series s ON s.id = r.series";
    }

    // The file's version now: a file older than this program when it was opened may have been upgraded
    // since by another program, whose runs, peaks and stamps are then read as they are.
    int fileVersion() const {
        return version_ >= kLibrarySchemaVersion ? version_
                                                 : static_cast<int>(pragmaValue("PRAGMA user_version"));
    }

    // Before this program first writes to an older library, the library is upgraded in place in a
    // transaction of its own, so that a failure leaves it as it was and a success leaves it whole;
    // another program of this version may have upgraded it first.
    WriteTransaction beginWrite(std::string_view doing) {
        if (version_ < kLibrarySchemaVersion) {
            WriteTransaction upgrade(*connection_, "upgrading the library");
            const long long version = pragmaValue("PRAGMA user_version");
            if (version > kLibrarySchemaVersion) {
                throw LibraryError(std::string(kNewerLibraryMessage), connection_->path());
            }
            applySchemaSteps(*connection_, version, kLibrarySchemaVersion);
            upgrade.commit("upgrading the library");
            version_ = kLibrarySchemaVersion;
        }
        return WriteTransaction(*connection_, doing);
    }

    long long pragmaValue(const char* sql) const {
        Statement statement(*connection_, sql);
        return statement.step() ? statement.integer(0) : 0;
    }

    std::vector<RunRecord> readRuns(const std::string& sql, const std::optional<Series>& series) const {
        Statement query(*connection_, sql);
        if (series) {
            query.bind(series->line).bind(series->direction);
        }
        std::vector<RunRecord> records;
        while (query.step()) {
            records.push_back(listedRunOf(StatementRow{query}));
        }
        return records;
    }

    std::optional<long long> seriesIdOf(const Series& series) const {
        Statement find(*connection_, "SELECT id FROM series WHERE line = ? AND direction = ?");
        find.bind(series.line).bind(series.direction);
        return find.step() ? std::optional<long long>(find.integer(0)) : std::nullopt;
    }

    long long insertSeries(const Series& series) {
        Statement insert(*connection_, "INSERT INTO series (line, direction) VALUES (?, ?)");
        insert.bind(series.line).bind(series.direction).step();
        return sqlite3_last_insert_rowid(connection_->db());
    }

    // The first stored run of the series with the run's date and run number.
    std::optional<RunRecord> sameRunAs(long long seriesId, const LoadedRun& run) const {
        Statement find(*connection_,
                       "SELECT id, date_text, blocks, file FROM runs WHERE series = ? AND day = ? "
                       "AND run_number = ? ORDER BY id LIMIT 1");
        find.bind(seriesId).bind(run.day).bind(run.runNumber);
        if (!find.step()) {
            return std::nullopt;
        }
        RunRecord same;
        same.id = find.integer(0);
        same.series = run.series;
        same.day = run.day;
        same.dateText = find.text(1);
        same.runNumber = run.runNumber;
        same.blocks = static_cast<long>(find.integer(2));
        same.file = find.text(3);
        return same;
    }

    // A prepared statement kept for the library's lifetime (the questions are asked run by run).
    Statement& statement(std::unique_ptr<Statement>& slot, const std::string& sql) const {
        if (!slot) {
            slot = std::make_unique<Statement>(*connection_, sql);
        }
        return *slot;
    }

    // Declared first, so that the statements below are finalized before the connection closes.
    std::unique_ptr<Connection> connection_;
    int version_ = kLibrarySchemaVersion; // of the file, as it was checked or upgraded
    mutable std::unique_ptr<Statement> contentQuery_, insertRun_, insertBlock_, insertBatch_;
    mutable std::array<std::unique_ptr<Statement>, 5> valueQueries_, rangeQueries_, blockQueries_;
    mutable std::unique_ptr<Statement> peaksQuery_, peaksInRangeQuery_, hasPeaksQuery_, insertPeaks_;
};

// What stands at `path` must be an SQLite file before SQLite is let near it, so that nothing is ever
// written into a stranger's file; a file that cannot be read is said to be so, not called foreign.
void checkLooksLikeLibrary(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int problem = errno;
        if (problem == ENOENT) {
            throw LibraryError(std::string(kNoLibraryMessage), path);
        }
        throw LibraryError("the run library cannot be read: " + fileProblemText(problem), path);
    }
    struct stat info {};
    char magic[16] = {};
    ssize_t got = -1;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        got = ::pread(fd, magic, sizeof magic, 0);
    }
    const int problem = errno;
    ::close(fd);
    if (got < 0 && S_ISREG(info.st_mode)) {
        throw LibraryError("the run library cannot be read: " + fileProblemText(problem), path);
    }
    if (got != static_cast<ssize_t>(sizeof magic) ||
        std::string_view(magic, sizeof magic) != std::string_view("SQLite format 3\0", 16)) {
        throw LibraryError(std::string(kNotALibraryMessage), path);
    }
}

std::unique_ptr<SqliteRunLibrary> openExistingLibrary(const std::string& path) {
    checkLooksLikeLibrary(path);
    std::unique_ptr<Connection> connection = openConnection(path, path);
    connection->setIdentity(identityOf(path));
    auto library = std::make_unique<SqliteRunLibrary>(std::move(connection));
    library->checkIsLibrary();
    return library;
}

} // namespace

std::string defaultLibraryPath() {
    return common::joinPath(common::homeFolder(), kLibraryFileName);
}

std::string sampleLibraryPath(std::string_view home) {
    return common::joinPath(common::joinPath(home, kSampleFolderName), kSampleLibraryFileName);
}

std::string sampleLibraryPath() {
    return sampleLibraryPath(common::homeFolder());
}

void setBeforeNewLibraryInPlace(std::function<void(const std::string& path)> hook) {
    beforeInPlaceHook() = std::move(hook);
}

bool buildLibraryInPlace(const std::string& path, const std::function<void(RunLibrary&)>& fill) {
    BuildingFile building(path);
    {
        SqliteRunLibrary library(openConnection(building.path(), path));
        createSchema(library.connection());
        library.connection().noteNewFile();
        if (fill) {
            fill(library);
        }
    }
    if (beforeInPlaceHook()) {
        beforeInPlaceHook()(path);
    }
    return building.putInPlace();
}

std::unique_ptr<RunLibrary> openSqliteLibrary(const std::string& path, LibraryAccess access) {
    if (path.empty()) {
        throw LibraryError(std::string(kNoLibraryMessage), path);
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int problem = errno;
        if (problem != ENOENT) {
            throw LibraryError("the run library cannot be opened: " + fileProblemText(problem), path);
        }
        if (access == LibraryAccess::OpenExisting) {
            throw LibraryError(std::string(kNoLibraryMessage), path);
        }
        // Made whole beside its name, then put in place; another program may have put one there first,
        // which is then the library used.
        std::string target;
        try {
            target = common::finalTarget(path); // a link to a library still to be made
        } catch (const common::Error& error) {
            throw LibraryError(error.what_text(), path);
        }
        const bool made = buildLibraryInPlace(target, {});
        auto library = openExistingLibrary(path);
        if (made) {
            library->connection().noteNewFile();
        }
        return library;
    }
    return openExistingLibrary(path);
}

} // namespace kestrana::library
