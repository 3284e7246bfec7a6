// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/library/server_run_library.h"

#include "core/defects/peak_packing.h"
#include "core/library/run_rows.h"

#include <libpq-fe.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <concepts>
#include <cstdlib>
#include <iterator>
#include <new>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace kestrana::library {

namespace {

// Column names of the five indices (fixed texts of this program, never typed ones).
constexpr std::array<const char*, 5> kIndexColumns = {"tgi", "tgiu", "tgiw", "tgig", "tgil"};

// Run ids come from identity columns, whose sequences never give a number twice. The same run
// (series, day, run number) is unique beside the content hash, so the rule that a run is stored once
// holds however many importers store it at once. Series stay when their last run is removed, so that an
// importer never finds the series it has just chosen gone; a series without runs is not listed. A block
// names its run without a foreign key: a run and its blocks go in and out together in one transaction,
// and checking the key of each of a run's 32767 blocks as they are copied in would take most of an
// import's time. A run's peaks are kept as the file keeps them: in parts of one km from, packed
// (defects/peak_packing.h), a run with no peak at all as one empty part.
constexpr const char* kSchemaSql = R"sql(
CREATE TABLE IF NOT EXISTS kestrana.schema_version (
    version integer NOT NULL
);
CREATE TABLE IF NOT EXISTS kestrana.series (
    id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    line text NOT NULL,
    direction smallint NOT NULL,
    UNIQUE (line, direction)
);
CREATE TABLE IF NOT EXISTS kestrana.runs (
    id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    series bigint NOT NULL REFERENCES kestrana.series (id),
    day integer NOT NULL,
    date_text text NOT NULL,
    run_number text NOT NULL,
    blocks integer NOT NULL,
    km_low smallint NOT NULL,
    km_high smallint NOT NULL,
    file text NOT NULL,
    content_hash bytea NOT NULL UNIQUE,
    imported_at timestamptz,
    imported_by text,
    UNIQUE (series, day, run_number)
);
CREATE TABLE IF NOT EXISTS kestrana.block_values (
    run bigint NOT NULL,
    km smallint NOT NULL,
    block smallint NOT NULL,
    tgi smallint NOT NULL,
    tgiu smallint NOT NULL,
    tgiw smallint NOT NULL,
    tgig smallint NOT NULL,
    tgil smallint NOT NULL,
    PRIMARY KEY (run, km, block)
);
CREATE TABLE IF NOT EXISTS kestrana.run_peaks (
    run bigint NOT NULL,
    part integer NOT NULL,
    km smallint NOT NULL,
    peaks bytea NOT NULL,
    PRIMARY KEY (run, part)
);
CREATE INDEX IF NOT EXISTS run_peaks_by_km ON kestrana.run_peaks (run, km, part);
CREATE TABLE IF NOT EXISTS kestrana.removals (
    id bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    removed_at timestamptz NOT NULL DEFAULT pg_catalog.now(),
    removed_by text NOT NULL DEFAULT SESSION_USER,
    run bigint NOT NULL,
    line text NOT NULL,
    direction smallint NOT NULL,
    day integer NOT NULL,
    date_text text NOT NULL,
    run_number text NOT NULL,
    file text NOT NULL,
    content_hash bytea NOT NULL,
    imported_at timestamptz,
    imported_by text
);
)sql";

// The roles, made where missing (roles belong to the whole server, so another database's library, or
// an administrator, may have made them: an owner without the right to make roles then needs none), and
// what each may do.
constexpr const char* kRolesSql = R"sql(
DO $roles$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = 'kestrana_reader') THEN
        CREATE ROLE kestrana_reader NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = 'kestrana_importer') THEN
        CREATE ROLE kestrana_importer NOLOGIN;
    END IF;
    IF NOT pg_catalog.pg_has_role('kestrana_importer', 'kestrana_reader', 'MEMBER') THEN
        GRANT kestrana_reader TO kestrana_importer;
    END IF;
END
$roles$;
GRANT USAGE ON SCHEMA kestrana TO kestrana_reader;
GRANT SELECT ON ALL TABLES IN SCHEMA kestrana TO kestrana_reader;
GRANT INSERT ON kestrana.series, kestrana.runs, kestrana.block_values, kestrana.run_peaks, kestrana.removals
    TO kestrana_importer;
GRANT DELETE ON kestrana.runs, kestrana.block_values, kestrana.run_peaks TO kestrana_importer;
GRANT USAGE ON ALL SEQUENCES IN SCHEMA kestrana TO kestrana_importer;
)sql";

// What the library's run list reads; times in microseconds since 1970, as a file keeps them.
constexpr const char* kRunSelect =
    "SELECT r.id, s.line, s.direction, r.day, r.date_text, r.run_number, r.blocks, r.file, "
    "pg_catalog.encode(r.content_hash, 'hex'), "
    "(EXTRACT(EPOCH FROM r.imported_at) * 1000000)::bigint, r.imported_by "
    "FROM kestrana.runs r JOIN kestrana.series s ON s.id = r.series";

std::function<void(const std::string&)>& beforeCommitHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

// The first line of a libpq message, without its "ERROR:" or "FATAL:" and surrounding blanks.
std::string firstLineOf(std::string_view message) {
    message = message.substr(0, message.find('\n'));
    for (std::string_view level : {"FATAL:", "ERROR:"}) {
        if (const auto at = message.find(level); at != std::string_view::npos) {
            message.remove_prefix(at + level.size());
        }
    }
    while (!message.empty() && (message.front() == ' ' || message.front() == '\t')) {
        message.remove_prefix(1);
    }
    while (!message.empty() && (message.back() == ' ' || message.back() == '\r')) {
        message.remove_suffix(1);
    }
    return std::string(message);
}

// The location's parts, as libpq reads them; throws LibraryError for a location libpq cannot read or one
// that holds a password (the error then names the server without it).
void checkLocation(const std::string& location) {
    char* problem = nullptr;
    PQconninfoOption* options = PQconninfoParse(location.c_str(), &problem);
    if (options == nullptr) {
        PQfreemem(problem);
        // libpq's own reason may quote the whole address, a password in it included: it is not shown.
        throw LibraryError(std::string(kUnreadableLocationMessage), "");
    }
    std::string host, port, user, dbname, service;
    bool password = false;
    for (const PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
        const std::string_view keyword = option->keyword;
        const std::string value = option->val != nullptr ? option->val : "";
        if ((keyword == "password" || keyword == "sslpassword") && !value.empty()) {
            password = true;
        } else if (keyword == "host") {
            host = value;
        } else if (keyword == "port") {
            port = value;
        } else if (keyword == "user") {
            user = value;
        } else if (keyword == "dbname") {
            dbname = value;
        } else if (keyword == "service") {
            service = value;
        }
    }
    PQconninfoFree(options);
    if (password) {
        const std::string shown = !service.empty()
                                      ? "service=" + service
                                      : "postgresql://" + (user.empty() ? "" : user + "@") + host +
                                            (port.empty() ? "" : ":" + port) + "/" + dbname;
        throw LibraryError(std::string(kPasswordInLocationMessage), shown);
    }
}

// One query's result, freed with the object.
class Result {
public:
    explicit Result(PGresult* result) : result_(result) {}
    ~Result() { PQclear(result_); }
    Result(Result&& other) noexcept : result_(std::exchange(other.result_, nullptr)) {}
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    Result& operator=(Result&&) = delete;

    PGresult* get() const { return result_; }
    int rows() const { return PQntuples(result_); }
    bool isNull(int row, int column) const { return PQgetisnull(result_, row, column) != 0; }
    std::string text(int row, int column) const {
        return std::string(PQgetvalue(result_, row, column),
                           static_cast<std::size_t>(PQgetlength(result_, row, column)));
    }
    long long integer(int row, int column) const {
        const char* value = PQgetvalue(result_, row, column);
        const char* end = value + PQgetlength(result_, row, column);
        long long number = 0;
        std::from_chars(value, end, number);
        return number;
    }
    std::int16_t small(int row, int column) const { return static_cast<std::int16_t>(integer(row, column)); }

private:
    PGresult* result_;
};

// One row of a result, as run_rows.h reads rows (a content hash comes as hex digits).
struct ResultRow {
    const Result& result;
    int row;
    long long integer(int column) const { return result.integer(row, column); }
    std::string text(int column) const { return result.text(row, column); }
    bool isNull(int column) const { return result.isNull(row, column); }
    Sha256Digest digest(int column) const {
        const std::string hex = result.text(row, column);
        Sha256Digest digest{};
        for (std::size_t i = 0; i < digest.size() && 2 * i + 1 < hex.size(); ++i) {
            std::from_chars(hex.data() + 2 * i, hex.data() + 2 * i + 2, digest[i], 16);
        }
        return digest;
    }
};

// The values of one statement's parameters, as text (numbers and texts) or bytes.
class Params {
public:
    Params& text(std::string_view value) {
        add(std::string(value), 0);
        return *this;
    }
    template <std::integral Whole> Params& number(Whole value) {
        add(std::to_string(value), 0);
        return *this;
    }
    Params& bytes(const Sha256Digest& digest) {
        add(std::string(reinterpret_cast<const char*>(digest.data()), digest.size()), 1);
        return *this;
    }
    Params& null() {
        values_.emplace_back();
        nulls_.push_back(true);
        formats_.push_back(0);
        return *this;
    }
    // Whole numbers as an array value, for "= ANY($n::bigint[])".
    Params& ids(std::span<const RunId> ids) {
        std::string array = "{";
        for (std::size_t i = 0; i < ids.size(); ++i) {
            array += (i == 0 ? "" : ",") + std::to_string(ids[i]);
        }
        return text(array + "}");
    }

    int count() const { return static_cast<int>(values_.size()); }
    std::vector<const char*> pointers() const {
        std::vector<const char*> pointers;
        for (std::size_t i = 0; i < values_.size(); ++i) {
            pointers.push_back(nulls_[i] ? nullptr : values_[i].data());
        }
        return pointers;
    }
    std::vector<int> lengths() const {
        std::vector<int> lengths;
        for (const std::string& value : values_) {
            lengths.push_back(static_cast<int>(value.size()));
        }
        return lengths;
    }
    const int* formats() const { return formats_.data(); }

private:
    void add(std::string value, int format) {
        values_.push_back(std::move(value));
        nulls_.push_back(false);
        formats_.push_back(format);
    }
    std::vector<std::string> values_;
    std::vector<bool> nulls_;
    std::vector<int> formats_;
};

// One connection to the server and what its failures mean to the user.
class ServerConnection {
public:
    explicit ServerConnection(std::string location) : location_(std::move(location)) {
        checkLocation(location_);
        // The fallbacks come before the location, whose own settings then win over them.
        std::vector<const char*> keywords = {"fallback_application_name"};
        std::vector<const char*> values = {"kestrana"};
        if (std::getenv("PGCONNECT_TIMEOUT") == nullptr) {
            // A server that does not answer at all is given up on, instead of the minutes TCP waits.
            keywords.push_back("connect_timeout");
            values.push_back("15");
        }
        keywords.push_back("dbname");
        values.push_back(location_.c_str());
        keywords.push_back(nullptr);
        values.push_back(nullptr);
        conn_ = PQconnectdbParams(keywords.data(), values.data(), 1);
        if (conn_ == nullptr) {
            throw std::bad_alloc();
        }
        if (PQstatus(conn_) != CONNECTION_OK) {
            const std::string reason = firstLineOf(PQerrorMessage(conn_));
            const bool neededPassword = PQconnectionNeedsPassword(conn_) != 0;
            const bool answered =
                std::string_view(PQerrorMessage(conn_)).find("FATAL:") != std::string_view::npos;
            PQfinish(conn_);
            conn_ = nullptr;
            if (neededPassword) {
                throw LibraryError("the run library's server asks for a password and none was found: libpq "
                                   "takes it from its password file (~/.pgpass), a service file "
                                   "(~/.pg_service.conf) or the environment (PGPASSWORD)",
                                   location_);
            }
            throw LibraryError(answered ? "the run library's server refused the connection: " + reason
                                        : "the run library's server cannot be reached: " + reason,
                               location_);
        }
        // The server's notices ("already exists, skipping") are not for the user; failures are told as
        // failures.
        PQsetNoticeProcessor(
            conn_, [](void*, const char*) {}, nullptr);
        prepareSession();
    }
    ~ServerConnection() { PQfinish(conn_); }
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    const std::string& location() const { return location_; }
    PGconn* get() const { return conn_; }

    // Runs one statement with its parameters; rows come back as text.
    Result query(const char* sql, const Params& params, std::string_view doing) const {
        const std::vector<const char*> pointers = params.pointers();
        const std::vector<int> lengths = params.lengths();
        Result result(sendAgainOnLostConnection([&] {
            return PQexecParams(conn_, sql, params.count(), nullptr, pointers.data(), lengths.data(),
                                params.formats(), 0);
        }));
        check(result, doing);
        return result;
    }
    Result query(const char* sql, std::string_view doing) const { return query(sql, Params(), doing); }
    // Runs SQL text of statements without parameters.
    void execute(const char* sql, std::string_view doing) const {
        Result result(sendAgainOnLostConnection([&] { return PQexec(conn_, sql); }));
        check(result, doing);
    }

    // Whether a transaction is open: a connection lost inside one has lost the transaction with it.
    void setInTransaction(bool open) const { inTransaction_ = open; }

    // Sends rows to a COPY ... FROM STDIN already begun: `text` holds them in COPY's text form.
    void copyIn(const char* sql, std::string_view text, std::string_view doing) const {
        Result started(PQexec(conn_, sql));
        if (PQresultStatus(started.get()) != PGRES_COPY_IN) {
            check(started, doing);
            fail(started.get(), doing);
        }
        constexpr std::size_t kPiece = 256 * 1024;
        for (std::size_t at = 0; at < text.size(); at += kPiece) {
            const std::string_view piece = text.substr(at, kPiece);
            if (PQputCopyData(conn_, piece.data(), static_cast<int>(piece.size())) != 1) {
                fail(nullptr, doing);
            }
        }
        if (PQputCopyEnd(conn_, nullptr) != 1) {
            fail(nullptr, doing);
        }
        Result ended(PQgetResult(conn_));
        check(ended, doing);
        // The end of the COPY's results.
        while (PGresult* more = PQgetResult(conn_)) {
            PQclear(more);
        }
    }

    // Throws LibraryError in words for a failed result (or a connection that has failed): what the user
    // can do something about, and the server's own text for anything else.
    void check(const Result& result, std::string_view doing) const {
        const ExecStatusType status =
            result.get() != nullptr ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
            return;
        }
        fail(result.get(), doing);
    }

    [[noreturn]] void fail(const PGresult* result, std::string_view doing) const {
        const auto field = [result](int code) {
            const char* value = result != nullptr ? PQresultErrorField(result, code) : nullptr;
            return std::string(value != nullptr ? value : "");
        };
        const std::string state = field(PG_DIAG_SQLSTATE);
        const std::string primary = !field(PG_DIAG_MESSAGE_PRIMARY).empty()
                                        ? field(PG_DIAG_MESSAGE_PRIMARY)
                                        : firstLineOf(PQerrorMessage(conn_));
        if (PQstatus(conn_) == CONNECTION_BAD || state.starts_with("08") || state.starts_with("57P0")) {
            throw LibraryError("the connection to the run library's server was lost" +
                                   (primary.empty() ? std::string() : ": " + primary),
                               location_);
        }
        if (state == "42501") {
            switch (purpose_) {
            case Purpose::Reading:
                throw LibraryError(std::string(kMayNotReadMessage), location_);
            case Purpose::Writing:
                throw LibraryError(std::string(kReadOnlyLibraryMessage), location_);
            case Purpose::Making:
                throw LibraryError("only the database's owner may make the library and its roles: " + primary,
                                   location_);
            }
        }
        if (state == "40001" || state == "40P01" || state == "55P03") {
            throw LibraryError(std::string(kLibraryBusyMessage), location_);
        }
        if (state == "53100") {
            throw LibraryError("the run library's server has no space left on its disk", location_);
        }
        if (state == "53200") {
            throw std::bad_alloc();
        }
        if (state == "XX001" || state == "XX002") {
            throw LibraryError(std::string(kDamagedLibraryMessage), location_);
        }
        if (state == "3F000" || state == "42P01") {
            throw LibraryError(std::string(kNoServerLibraryMessage), location_);
        }
        throw LibraryError("the run library's server failed while " + std::string(doing) +
                               (primary.empty() ? std::string() : ": " + primary),
                           location_);
    }

    // What the statements now running are for, which says what a refusal of rights means.
    enum class Purpose { Reading, Writing, Making };
    void setPurpose(Purpose purpose) const { purpose_ = purpose; }

private:
    // Texts are the program's single-byte text, held by the server exactly as they are written; and
    // no name is ever looked up in a schema another user could put a table or function into.
    void prepareSession() const {
        PQsetClientEncoding(conn_, "LATIN1");
        Result result(PQexec(conn_, "SELECT pg_catalog.set_config('search_path', '', false)"));
        check(result, "opening");
    }

    // A library stays open for as long as a screen shows it, over server restarts and dropped
    // connections. A statement that finds the connection lost outside a transaction is sent once more
    // on a new one: nothing of it had happened. Inside a transaction the loss is the transaction's
    // failure, and is told as such.
    template <typename Send> PGresult* sendAgainOnLostConnection(Send send) const {
        PGresult* result = send();
        if (inTransaction_ || PQstatus(conn_) != CONNECTION_BAD) {
            return result;
        }
        PQreset(conn_);
        if (PQstatus(conn_) != CONNECTION_OK) {
            return result;
        }
        PQclear(result);
        prepareSession();
        return send();
    }

    std::string location_;
    PGconn* conn_ = nullptr;
    mutable Purpose purpose_ = Purpose::Reading;
    mutable bool inTransaction_ = false;
};

// A transaction on the server, rolled back unless committed. A connection that has failed ends every
// transaction of its own: nothing of it is kept.
class ServerTransaction {
public:
    ServerTransaction(const ServerConnection& connection, std::string_view doing,
                      ServerConnection::Purpose purpose)
        : connection_(connection) {
        connection.execute("BEGIN", doing);
        connection.setInTransaction(true);
        connection.setPurpose(purpose);
        open_ = true;
    }
    ~ServerTransaction() {
        connection_.setInTransaction(false);
        connection_.setPurpose(ServerConnection::Purpose::Reading);
        if (open_ && PQstatus(connection_.get()) == CONNECTION_OK) {
            PQclear(PQexec(connection_.get(), "ROLLBACK"));
        }
    }
    ServerTransaction(const ServerTransaction&) = delete;
    ServerTransaction& operator=(const ServerTransaction&) = delete;
    void commit(std::string_view doing) {
        connection_.execute("COMMIT", doing);
        open_ = false;
    }

private:
    const ServerConnection& connection_;
    bool open_ = false;
};

// A server text cannot hold a NUL byte; a run whose texts hold one is refused (as the run's fault, not
// the library's).
void refuseNulBytes(const LoadedRun& run) {
    for (const std::string* text : {&run.series.line, &run.dateText, &run.runNumber, &run.file}) {
        if (text->find('\0') != std::string::npos) {
            throw common::Error("a text of the run holds a NUL byte, which a server library cannot store",
                                run.file);
        }
    }
}

// The blocks of a run in COPY's text form.
std::string copyText(RunId run, std::span<const StoredBlock> blocks) {
    std::string text;
    text.reserve(blocks.size() * 40);
    const std::string id = std::to_string(run);
    for (const StoredBlock& block : blocks) {
        text += id;
        for (int value : {static_cast<int>(block.key.km), static_cast<int>(block.key.block)}) {
            text += '\t';
            text += std::to_string(value);
        }
        for (std::int16_t value : block.values) {
            text += '\t';
            text += std::to_string(value);
        }
        text += '\n';
    }
    return text;
}

// The peaks of a run in COPY's text form, each part's bytes as bytea hex ("\\x" then two digits a
// byte, the backslash doubled for COPY).
std::string peaksCopyText(RunId run, const defects::RunPeaks& peaks) {
    std::vector<defects::PackedPeakPart> parts = defects::packPeaks(peaks);
    if (parts.empty()) {
        parts.push_back({}); // known to have no peak at all
    }
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    const std::string id = std::to_string(run);
    for (std::size_t part = 0; part < parts.size(); ++part) {
        text += id + '\t' + std::to_string(part) + '\t' + std::to_string(parts[part].km) + "\t\\\\x";
        for (const char byte : parts[part].bytes) {
            const auto value = static_cast<unsigned char>(byte);
            text += kDigits[value >> 4];
            text += kDigits[value & 15];
        }
        text += '\n';
    }
    return text;
}

// Bytes written as hex digits (as pg_catalog.encode(..., 'hex') gives them); none when a digit is not one.
std::optional<std::string> bytesOfHex(std::string_view hex) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        return -1;
    };
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes(hex.size() / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = digit(hex[2 * i]);
        const int low = digit(hex[2 * i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes[i] = static_cast<char>(high * 16 + low);
    }
    return bytes;
}

class ServerRunLibrary final : public RunLibrary {
public:
    explicit ServerRunLibrary(const std::string& location) : connection_(location) { checkIsLibrary(); }

    std::string location() const override { return connection_.location(); }

    bool containsContent(const Sha256Digest& contentHash) const override {
        return connection_
                   .query("SELECT 1 FROM kestrana.runs WHERE content_hash = $1", Params().bytes(contentHash),
                          "looking for a run")
                   .rows() > 0;
    }

    AddResult addRun(const LoadedRun& run) override {
        refuseNulBytes(run);
        requireRight("INSERT");
        ServerTransaction transaction(connection_, "starting to store a run",
                                      ServerConnection::Purpose::Writing);
        if (const std::optional<RunId> stored = runIdOfContent(run.contentHash)) {
            // The same bytes again with peaks give a run stored without them its peaks.
            if (run.peaks && !hasPeaks(*stored)) {
                connection_.copyIn("COPY kestrana.run_peaks (run, part, km, peaks) FROM STDIN",
                                   peaksCopyText(*stored, *run.peaks), "storing a run's peaks");
                transaction.commit("storing the peaks of a run");
                return {AddOutcome::PeaksAdded, std::nullopt};
            }
            return {AddOutcome::AlreadyThere, std::nullopt};
        }
        const long long seriesId = seriesIdFor(run.series);
        if (std::optional<RunRecord> same = sameRunAs(seriesId, run)) {
            return {AddOutcome::SameRunThere, std::move(same)};
        }
        const KmRange span = kmSpanOf(run.blocks);
        Params params;
        params.number(seriesId)
            .number(run.day)
            .text(run.dateText)
            .text(run.runNumber)
            .number(run.blocks.size())
            .number(span.low)
            .number(span.high)
            .text(run.file)
            .bytes(run.contentHash);
        // A run copied from another library keeps who took it in and when.
        std::string stamp = "pg_catalog.now(), SESSION_USER";
        if (run.imported) {
            stamp = "pg_catalog.to_timestamp(0) + $10::bigint * INTERVAL '1 microsecond', $11";
            if (run.imported->at) {
                params.number(*run.imported->at);
            } else {
                params.null();
            }
            params.text(run.imported->by);
        }
        const std::string insert =
            "INSERT INTO kestrana.runs (series, day, date_text, run_number, blocks, km_low, km_high, "
            "file, content_hash, imported_at, imported_by) "
            "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, " +
            stamp + ") ON CONFLICT DO NOTHING RETURNING id";
        const Result inserted = connection_.query(insert.c_str(), params, "storing a run");
        if (inserted.rows() == 0) {
            // Another importer stored this run meanwhile: the insert waited for it and left it so.
            if (containsContent(run.contentHash)) {
                return {AddOutcome::AlreadyThere, std::nullopt};
            }
            if (std::optional<RunRecord> same = sameRunAs(seriesId, run)) {
                return {AddOutcome::SameRunThere, std::move(same)};
            }
            connection_.fail(inserted.get(), "storing a run");
        }
        const RunId id = inserted.integer(0, 0);
        connection_.copyIn(
            "COPY kestrana.block_values (run, km, block, tgi, tgiu, tgiw, tgig, tgil) FROM STDIN",
            copyText(id, run.blocks), "storing a run's blocks");
        if (run.peaks) {
            connection_.copyIn("COPY kestrana.run_peaks (run, part, km, peaks) FROM STDIN",
                               peaksCopyText(id, *run.peaks), "storing a run's peaks");
        }
        if (beforeCommitHook()) {
            beforeCommitHook()(run.file);
        }
        transaction.commit("storing a run");
        return {AddOutcome::Added, std::nullopt};
    }

    std::vector<RunId> removeRuns(std::span<const RunId> ids) override {
        requireRight("DELETE");
        const std::vector<RunId> unique = distinctIds(ids);
        ServerTransaction transaction(connection_, "removing runs", ServerConnection::Purpose::Writing);
        // One statement takes the runs and their blocks out and records each removal, so that a run
        // another program removes meanwhile is found missing here, not removed or recorded twice.
        const Result removed = connection_.query(
            "WITH gone AS (DELETE FROM kestrana.runs WHERE id = ANY($1::bigint[]) RETURNING id, "
            "series, day, date_text, run_number, file, content_hash, imported_at, imported_by), "
            "blocks AS (DELETE FROM kestrana.block_values b USING gone g WHERE b.run = g.id), "
            "peaks AS (DELETE FROM kestrana.run_peaks p USING gone g WHERE p.run = g.id) "
            "INSERT INTO kestrana.removals (run, line, direction, day, date_text, run_number, "
            "file, content_hash, imported_at, imported_by) "
            "SELECT g.id, s.line, s.direction, g.day, g.date_text, g.run_number, g.file, "
            "g.content_hash, g.imported_at, g.imported_by "
            "FROM gone g JOIN kestrana.series s ON s.id = g.series RETURNING run",
            Params().ids(unique), "removing runs");
        std::vector<RunId> gone;
        for (int row = 0; row < removed.rows(); ++row) {
            gone.push_back(removed.integer(row, 0));
        }
        std::vector<RunId> missing;
        std::copy_if(unique.begin(), unique.end(), std::back_inserter(missing),
                     [&gone](RunId id) { return std::find(gone.begin(), gone.end(), id) == gone.end(); });
        if (missing.empty()) {
            transaction.commit("removing runs");
        }
        return missing;
    }

    std::vector<RunRecord> runs() const override {
        std::vector<RunRecord> records = readRuns(connection_.query(kRunSelect, "reading the runs"));
        sortForListing(records);
        return records;
    }

    std::vector<RunRecord> runsOf(const Series& series) const override {
        const std::string sql = std::string(kRunSelect) + " WHERE s.line = $1 AND s.direction = $2";
        std::vector<RunRecord> records = readRuns(connection_.query(
            sql.c_str(), Params().text(series.line).number(series.direction), "reading the runs"));
        std::sort(records.begin(), records.end(), runComesBefore);
        return records;
    }

    std::vector<StoredBlock> blocksOf(RunId run) const override {
        const Result rows =
            connection_.query("SELECT km, block, tgi, tgiu, tgiw, tgig, tgil FROM kestrana.block_values "
                              "WHERE run = $1 ORDER BY km, block",
                              Params().number(run), "reading a run's blocks");
        std::vector<StoredBlock> blocks;
        blocks.reserve(static_cast<std::size_t>(rows.rows()));
        for (int row = 0; row < rows.rows(); ++row) {
            blocks.push_back(storedBlockOf(ResultRow{rows, row}));
        }
        return blocks;
    }

    std::vector<LogEntry> log() const override {
        const Result rows = connection_.query(
            "SELECT (EXTRACT(EPOCH FROM r.imported_at) * 1000000)::bigint, r.imported_by, 0, r.id, "
            "s.line, s.direction, r.day, r.run_number, r.file "
            "FROM kestrana.runs r JOIN kestrana.series s ON s.id = r.series "
            "UNION ALL SELECT (EXTRACT(EPOCH FROM imported_at) * 1000000)::bigint, imported_by, 0, run, "
            "line, direction, day, run_number, file FROM kestrana.removals "
            "UNION ALL SELECT (EXTRACT(EPOCH FROM removed_at) * 1000000)::bigint, removed_by, 1, run, "
            "line, direction, day, run_number, file FROM kestrana.removals",
            "reading the log");
        std::vector<LogEntry> entries;
        for (int row = 0; row < rows.rows(); ++row) {
            entries.push_back(logEntryOf(ResultRow{rows, row}));
        }
        std::sort(entries.begin(), entries.end(), logComesBefore);
        return entries;
    }

    std::vector<Series> series() const override {
        const Result rows =
            connection_.query("SELECT s.line, s.direction FROM kestrana.series s WHERE EXISTS "
                              "(SELECT 1 FROM kestrana.runs r WHERE r.series = s.id)",
                              "reading the lines");
        std::vector<Series> all;
        for (int row = 0; row < rows.rows(); ++row) {
            all.push_back(Series{rows.text(row, 0), static_cast<int>(rows.integer(row, 1))});
        }
        std::sort(all.begin(), all.end());
        return all;
    }

    std::optional<KmRange> kmRangeOf(const Series& series) const override {
        const Result rows = connection_.query("SELECT min(r.km_low), max(r.km_high) FROM kestrana.runs r "
                                              "JOIN kestrana.series s ON s.id = r.series "
                                              "WHERE s.line = $1 AND s.direction = $2",
                                              Params().text(series.line).number(series.direction),
                                              "reading a line's km range");
        if (rows.rows() == 0 || rows.isNull(0, 0)) {
            return std::nullopt;
        }
        return KmRange{rows.small(0, 0), rows.small(0, 1)};
    }

    std::vector<RunValue> blockValues(const Series& series, const BlockKey& block,
                                      BlockIndex index) const override {
        const std::string sql =
            std::string("SELECT r.id, r.day, r.date_text, r.run_number, r.blocks, r.file, b.") +
            kIndexColumns[static_cast<std::size_t>(index)] +
            " FROM kestrana.series s JOIN kestrana.runs r ON r.series = s.id JOIN kestrana.block_values b ON "
            "b.run = r.id AND b.km = $1 AND b.block = $2 WHERE s.line = $3 AND s.direction = $4";
        const Result rows = connection_.query(
            sql.c_str(),
            Params().number(block.km).number(block.block).text(series.line).number(series.direction),
            "reading a block's history");
        std::vector<RunValue> values;
        for (int row = 0; row < rows.rows(); ++row) {
            values.push_back(runValueOf(ResultRow{rows, row}, series));
        }
        sortInRunOrder(values);
        return values;
    }

    std::vector<RunValues> valuesInRange(const Series& series, const KmRange& range, BlockIndex index,
                                         std::span<const RunId> onlyRuns) const override {
        RangeValues values(runsOf(series), onlyRuns);
        std::vector<RunId> wanted;
        for (const RunValues& run : values.runs()) {
            wanted.push_back(run.run.id);
        }
        if (wanted.empty()) {
            return values.take();
        }
        const std::string sql =
            std::string("SELECT run, km, block, ") + kIndexColumns[static_cast<std::size_t>(index)] +
            " FROM kestrana.block_values WHERE run = ANY($1::bigint[]) AND km BETWEEN $2 AND $3";
        const Result rows = connection_.query(
            sql.c_str(), Params().ids(wanted).number(range.low).number(range.high), "reading a km range");
        for (int row = 0; row < rows.rows(); ++row) {
            values.add(rows.integer(row, 0), BlockKey{rows.small(row, 1), rows.small(row, 2)},
                       rows.small(row, 3));
        }
        return values.take();
    }

    std::optional<defects::RunPeaks> peaksOfRun(RunId run, const std::optional<KmRange>& kms,
                                                std::span<const std::int16_t> codes) const override {
        if (!hasPeaks(run)) {
            return std::nullopt;
        }
        Params params;
        params.number(run);
        std::string sql = "SELECT km, pg_catalog.encode(peaks, 'hex') FROM kestrana.run_peaks WHERE run = $1";
        if (kms) {
            sql += " AND km BETWEEN $2 AND $3";
            params.number(kms->low).number(kms->high);
        }
        sql += " ORDER BY part";
        const Result rows = connection_.query(sql.c_str(), params, "reading a run's peaks");
        defects::RunPeaks peaks;
        for (int row = 0; row < rows.rows(); ++row) {
            const std::optional<std::string> bytes = bytesOfHex(rows.text(row, 1));
            if (!bytes || !defects::unpackPeaks(rows.small(row, 0), *bytes, codes, peaks)) {
                throw LibraryError(std::string(kDamagedLibraryMessage), connection_.location());
            }
        }
        peaks.shrink_to_fit();
        return peaks;
    }

    std::optional<std::int16_t> blockValueOfRun(RunId run, const BlockKey& block,
                                                BlockIndex index) const override {
        const std::string sql = std::string("SELECT ") + kIndexColumns[static_cast<std::size_t>(index)] +
                                " FROM kestrana.block_values WHERE run = $1 AND km = $2 AND block = $3";
        const Result rows =
            connection_.query(sql.c_str(), Params().number(run).number(block.km).number(block.block),
                              "reading a block's value");
        if (rows.rows() == 0) {
            return std::nullopt;
        }
        return rows.small(0, 0);
    }

private:
    std::optional<RunId> runIdOfContent(const Sha256Digest& contentHash) const {
        const Result found = connection_.query("SELECT id FROM kestrana.runs WHERE content_hash = $1",
                                               Params().bytes(contentHash), "looking for a run");
        return found.rows() > 0 ? std::optional<RunId>(found.integer(0, 0)) : std::nullopt;
    }

    bool hasPeaks(RunId run) const {
        return connection_
                   .query("SELECT 1 FROM kestrana.run_peaks WHERE run = $1 LIMIT 1", Params().number(run),
                          "reading a run's peaks")
                   .rows() > 0;
    }

    // Refuses a database without a library, or with a library of a newer version.
    void checkIsLibrary() const {
        const Result version = connection_.query("SELECT version FROM kestrana.schema_version", "opening");
        if (version.rows() != 1) {
            throw LibraryError(std::string(kNoServerLibraryMessage), connection_.location());
        }
        const long long found = version.integer(0, 0);
        if (found > kServerSchemaVersion) {
            throw LibraryError(std::string(kNewerLibraryMessage) + " (library version " +
                                   std::to_string(found) + ", this program writes version " +
                                   std::to_string(kServerSchemaVersion) + ")",
                               connection_.location());
        }
    }

    // A reader is told before anything is sent, rather than by the server half-way.
    void requireRight(const char* right) const {
        const Result allowed = connection_.query("SELECT pg_catalog.has_table_privilege('kestrana.runs', $1)",
                                                 Params().text(right), "checking the user's rights");
        if (allowed.rows() != 1 || allowed.text(0, 0) != "t") {
            throw LibraryError(std::string(kReadOnlyLibraryMessage), connection_.location());
        }
    }

    // The series' id, the series made first when it has none yet (by this importer or another).
    long long seriesIdFor(const Series& series) const {
        const Params key = Params().text(series.line).number(series.direction);
        const auto find = [&]() -> std::optional<long long> {
            const Result found = connection_.query(
                "SELECT id FROM kestrana.series WHERE line = $1 AND direction = $2", key, "storing a run");
            return found.rows() > 0 ? std::optional<long long>(found.integer(0, 0)) : std::nullopt;
        };
        if (const std::optional<long long> known = find()) {
            return *known;
        }
        connection_.query(
            "INSERT INTO kestrana.series (line, direction) VALUES ($1, $2) ON CONFLICT DO NOTHING", key,
            "storing a run");
        if (const std::optional<long long> made = find()) {
            return *made;
        }
        throw LibraryError("the run library's server failed while storing a run: its line could not be made",
                           connection_.location());
    }

    // The first stored run of the series with the run's date and run number.
    std::optional<RunRecord> sameRunAs(long long seriesId, const LoadedRun& run) const {
        const Result found =
            connection_.query("SELECT id, date_text, blocks, file FROM kestrana.runs WHERE series = $1 AND "
                              "day = $2 AND run_number = $3 "
                              "ORDER BY id LIMIT 1",
                              Params().number(seriesId).number(run.day).text(run.runNumber), "storing a run");
        if (found.rows() == 0) {
            return std::nullopt;
        }
        RunRecord same;
        same.id = found.integer(0, 0);
        same.series = run.series;
        same.day = run.day;
        same.dateText = found.text(0, 1);
        same.runNumber = run.runNumber;
        same.blocks = static_cast<long>(found.integer(0, 2));
        same.file = found.text(0, 3);
        return same;
    }

    static std::vector<RunRecord> readRuns(const Result& rows) {
        std::vector<RunRecord> records;
        records.reserve(static_cast<std::size_t>(rows.rows()));
        for (int row = 0; row < rows.rows(); ++row) {
            records.push_back(listedRunOf(ResultRow{rows, row}));
        }
        return records;
    }

    ServerConnection connection_;
};

} // namespace

void checkServerLocation(const std::string& location) {
    checkLocation(location);
}

bool isServerLocation(std::string_view location) {
    return location.starts_with("postgresql://") || location.starts_with("postgres://") ||
           location.starts_with("service=");
}

std::unique_ptr<RunLibrary> openServerLibrary(const std::string& location) {
    return std::make_unique<ServerRunLibrary>(location);
}

void initServerLibrary(const std::string& location) {
    const ServerConnection connection(location);
    ServerTransaction transaction(connection, "making the library", ServerConnection::Purpose::Making);
    // Two owners making the library at once take turns.
    connection.execute("SELECT pg_catalog.pg_advisory_xact_lock(4923557428)", "making the library");
    connection.execute("CREATE SCHEMA IF NOT EXISTS kestrana", "making the library's schema");
    // A library made by a newer version is left exactly as it is.
    const Result made = connection.query(
        "SELECT pg_catalog.to_regclass('kestrana.schema_version') IS NOT NULL", "making the library");
    if (made.text(0, 0) == "t") {
        const Result version =
            connection.query("SELECT max(version) FROM kestrana.schema_version", "making the library");
        if (!version.isNull(0, 0) && version.integer(0, 0) > kServerSchemaVersion) {
            throw LibraryError(std::string(kNewerLibraryMessage) + " (library version " + version.text(0, 0) +
                                   ", this program writes version " + std::to_string(kServerSchemaVersion) +
                                   ")",
                               location);
        }
    }
    connection.execute(kSchemaSql, "making the library's tables");
    connection.query("INSERT INTO kestrana.schema_version (version) SELECT $1::integer WHERE NOT EXISTS "
                     "(SELECT 1 FROM kestrana.schema_version)",
                     Params().number(kServerSchemaVersion), "making the library");
    connection.execute(kRolesSql, "making the roles kestrana_reader and kestrana_importer");
    transaction.commit("making the library");
}

void setBeforeServerCommit(std::function<void(const std::string& file)> hook) {
    beforeCommitHook() = std::move(hook);
}

} // namespace kestrana::library
