// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The record store: a small relational database file over SQLite 3, used by the comparator's run
// database and the peak analyser's peak database. Every field is a signed 16-bit whole number.
// Values taken from files or typed text are bound as parameters or quoted as identifiers, never
// pasted into SQL text.

#include "core/common/errors.h"
#include "core/storage/sqlite_database.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kestrana::storage {

// Reading a field where there is no current row (an empty result, or moved past the end).
class NoCurrentRecordError : public common::Error {
public:
    using common::Error::Error;
};

// A value bound to a '?' of an SQL text.
using SqlValue = std::variant<long long, double, std::string>;

// "name" as an SQL identifier: in double quotes, inner quotes doubled.
std::string quoteIdentifier(std::string_view name);

class RecordStore {
public:
    // The file of a store named `basePath` (the store adds its own extension, ".sqlite").
    static std::string fileOf(const std::string& basePath);
    // Deletes the store's file; a missing file is no error; returns false when it could not go.
    static bool remove(const std::string& basePath);
    // Creates a new, empty store (an existing file of that name is replaced). Throws Error.
    static RecordStore create(const std::string& basePath);
    // Opens an existing store. Throws Error when the file is missing or not a store.
    static RecordStore open(const std::string& basePath);
    // Every store made by create() carries a stamp of its own, never 0: a program that built a store
    // can tell later whether the file it opens is still that one or was rebuilt by another program.
    // Stores made otherwise read 0.
    std::uint64_t stamp() const;

    RecordStore(RecordStore&&) noexcept;
    RecordStore& operator=(RecordStore&&) noexcept;
    ~RecordStore();
    void close();
    bool isOpen() const;

    // Creates a table of signed 16-bit fields, in this order. Throws Error.
    void defineTable(const std::string& table, const std::vector<std::string>& fields);
    // Runs an SQL text without result rows (BEGIN, COMMIT, CREATE INDEX ...).
    void execute(const std::string& sql, const std::vector<SqlValue>& params = {});

    // Adds rows to one table inside one transaction: commit() makes them lasting; an Inserter
    // destroyed without commit() rolls them back. Rows are gathered and written many to one
    // statement, since a statement run per row costs more than the row itself; they are stored in
    // the order they were added.
    class Inserter {
    public:
        Inserter(RecordStore& store, const std::string& table, std::size_t fieldCount);
        Inserter(Inserter&&) noexcept;
        ~Inserter();
        void add(std::span<const std::int16_t> values); // values.size() == fieldCount
        void commit();

    private:
        // Writes the gathered rows: full batches through batchStmt_, the rest one by one.
        void flush();
        void writeRows(SqliteStatement& statement, const std::int16_t* values, std::size_t rows);
        RecordStore* store_;
        std::optional<SqliteStatement> rowStmt_;
        std::optional<SqliteStatement> batchStmt_;
        std::size_t fieldCount_;
        std::size_t batchRows_ = 1;
        std::vector<std::int16_t> pending_;
        bool open_ = false;
    };

    // The result of an SQL text, read row by row with a current row. Rows come in the order the
    // SQL gives them (a table scan without ORDER BY in insertion order).
    class RowSet {
    public:
        RowSet(RecordStore& store, const std::string& sql, const std::vector<SqlValue>& params = {});
        RowSet(RowSet&&) noexcept;
        ~RowSet();

        bool hasCurrent() const { return hasRow_; }
        void moveNext(); // past the last row there is no current row
        int columnCount() const;
        std::string columnName(int column) const;
        // Reads of the current row; each throws NoCurrentRecordError when there is none.
        std::int16_t field(std::string_view name) const;
        std::int16_t field(int column) const;
        double valueDouble(int column) const;
        std::string valueText(int column) const;
        // Whether the column holds no value at all (SQL NULL: an average over no row, for example).
        bool isNull(int column) const;

    private:
        int columnIndex(std::string_view name) const;
        // Throws NoCurrentRecordError without a current row, Error for a column not there.
        void requireCurrent(int column) const;
        RecordStore* store_;
        std::optional<SqliteStatement> statement_;
        bool hasRow_ = false;
    };

    // First and last row of a table in stored (insertion) order, as its fields; empty when the
    // table has no row.
    std::vector<std::int16_t> firstRow(const std::string& table);
    std::vector<std::int16_t> lastRow(const std::string& table);

    const std::string& path() const { return path_; }

private:
    class Database;
    explicit RecordStore(std::unique_ptr<Database> database);
    std::vector<std::int16_t> edgeRow(const std::string& table, const char* order);
    [[noreturn]] void fail(const std::string& what) const;
    // The open database, or a failure saying `what` could not be done on a closed store.
    const SqliteDatabase& requireOpen(const std::string& what) const;
    std::unique_ptr<Database> database_;
    std::string path_;
};

} // namespace kestrana::storage
