// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/storage/record_store.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

using kestrana::common::Error;
using kestrana::storage::NoCurrentRecordError;
using kestrana::storage::quoteIdentifier;
using kestrana::storage::RecordStore;
using kestrana::test::TempFolder;

namespace {

void addRows(RecordStore& store, const std::string& table,
             const std::vector<std::array<std::int16_t, 2>>& rows) {
    RecordStore::Inserter inserter(store, table, 2);
    for (const auto& row : rows) {
        inserter.add(row);
    }
    inserter.commit();
}

std::vector<std::int16_t> column(RecordStore& store, const std::string& sql) {
    std::vector<std::int16_t> values;
    for (RecordStore::RowSet rows(store, sql); rows.hasCurrent(); rows.moveNext()) {
        values.push_back(rows.field(0));
    }
    return values;
}

} // namespace

TEST(RecordStore, FileLifecycle) {
    TempFolder folder;
    const std::string base = folder.file("trcdbase");
    EXPECT_EQ(RecordStore::fileOf(base), base + ".sqlite");
    EXPECT_TRUE(RecordStore::remove(base)); // a missing file is no failure
    {
        RecordStore store = RecordStore::create(base);
        store.defineTable("trc0", {"tgi1", "tgi2"});
        addRows(store, "trc0", {{{120, 121}}, {{121, 122}}});
    }
    {
        RecordStore store = RecordStore::open(base);
        EXPECT_EQ(column(store, "SELECT tgi2 FROM trc0"), (std::vector<std::int16_t>{121, 122}));
        store.close();
        EXPECT_FALSE(store.isOpen());
        EXPECT_THROW((void)RecordStore::RowSet(store, "SELECT 1"), Error);
    }
    RecordStore fresh = RecordStore::create(base); // replaces the old file
    EXPECT_EQ(column(fresh, "SELECT count(*) FROM sqlite_master"), std::vector<std::int16_t>{0});

    EXPECT_THROW(RecordStore::open(folder.file("none")), Error);
    kestrana::test::writeFile(folder.file("junk.sqlite"), "this is a run file, not a database\r\n");
    EXPECT_THROW(RecordStore::open(folder.file("junk")), Error);
}

TEST(RecordStore, RowsComeBackInInsertionOrderWithFirstAndLastRow) {
    TempFolder folder;
    RecordStore store = RecordStore::create(folder.file("db"));
    store.defineTable("t", {"a", "b"});
    // Deliberately not in key order: stored order is the order of adding.
    addRows(store, "t", {{{5, 1}}, {{-3, 2}}, {{32767, 3}}, {{-32768, 4}}, {{0, 5}}});
    EXPECT_EQ(column(store, "SELECT * FROM t"), (std::vector<std::int16_t>{5, -3, 32767, -32768, 0}));
    EXPECT_EQ(store.firstRow("t"), (std::vector<std::int16_t>{5, 1}));
    EXPECT_EQ(store.lastRow("t"), (std::vector<std::int16_t>{0, 5}));
    // Rows are written many to a statement: counts around a whole batch keep every row and its order.
    for (int count : {1, 63, 64, 65, 129, 1000}) {
        SCOPED_TRACE(count);
        const std::string table = "t" + std::to_string(count);
        store.defineTable(table, {"a", "b"});
        std::vector<std::array<std::int16_t, 2>> rows;
        std::vector<std::int16_t> expected;
        for (int i = 0; i < count; ++i) {
            const auto a = static_cast<std::int16_t>(count - 2 * i);
            rows.push_back({a, static_cast<std::int16_t>(i)});
            expected.push_back(a);
        }
        addRows(store, table, rows);
        EXPECT_EQ(column(store, "SELECT a FROM " + table), expected);
        EXPECT_EQ(store.lastRow(table),
                  (std::vector<std::int16_t>{expected.back(), static_cast<std::int16_t>(count - 1)}));
    }
    store.defineTable("empty", {"a"});
    EXPECT_TRUE(store.firstRow("empty").empty());
    EXPECT_TRUE(store.lastRow("empty").empty());
}

TEST(RecordStore, ReadingWithoutACurrentRowIsTheDistinctNoCurrentRecordError) {
    TempFolder folder;
    RecordStore store = RecordStore::create(folder.file("db"));
    store.defineTable("t", {"tgi1", "tgi4"});
    addRows(store, "t", {{{1, 42}}});

    RecordStore::RowSet none(store, "SELECT * FROM t WHERE tgi1 = ?", {7LL});
    EXPECT_FALSE(none.hasCurrent());
    EXPECT_THROW((void)none.field("tgi4"), NoCurrentRecordError);
    EXPECT_THROW((void)none.valueDouble(0), NoCurrentRecordError);
    EXPECT_THROW((void)none.valueText(0), NoCurrentRecordError);

    RecordStore::RowSet one(store, "SELECT * FROM t");
    ASSERT_TRUE(one.hasCurrent());
    EXPECT_EQ(one.field("TGI4"), 42); // names match without regard to case
    one.moveNext();
    EXPECT_THROW((void)one.field(0), NoCurrentRecordError);
    // Other failures are not mistaken for an empty result.
    RecordStore::RowSet again(store, "SELECT * FROM t");
    for (const auto& read : {std::function<void()>([&] { (void)again.field("nosuchfield"); }),
                             std::function<void()>([&] { (void)again.field(2); })}) {
        try {
            read();
            ADD_FAILURE() << "a field that is not there must fail";
        } catch (const NoCurrentRecordError&) {
            ADD_FAILURE() << "a field that is not there is not an empty result";
        } catch (const Error&) {
        }
    }
}

TEST(RecordStore, ValuesAreBoundAndOddNamesQuotedNeverRunAsSql) {
    EXPECT_EQ(quoteIdentifier("a\"b"), "\"a\"\"b\"");
    TempFolder folder;
    RecordStore store = RecordStore::create(folder.file("db"));
    // A table name with blanks, a quote and SQL in it, and a field named like a keyword.
    const std::string table = "12\"03 26; DROP";
    store.defineTable(table, {"select", "a b"});
    addRows(store, table, {{{7, -5}}});
    const std::string hostile = "1'); DROP TABLE t; --";
    RecordStore::RowSet rows(store,
                             "SELECT ? AS label, " + quoteIdentifier("a b") + " FROM " +
                                 quoteIdentifier(table) + " WHERE " + quoteIdentifier("a b") +
                                 " BETWEEN ? AND ?",
                             {hostile, -10LL, 0LL});
    ASSERT_TRUE(rows.hasCurrent());
    EXPECT_EQ(rows.valueText(0), hostile);
    EXPECT_EQ(rows.field(1), -5);
    EXPECT_EQ(rows.columnName(1), "a b");
    EXPECT_EQ(store.firstRow(table), (std::vector<std::int16_t>{7, -5}));
}

TEST(RecordStore, AnInserterWithoutCommitLeavesNoRows) {
    TempFolder folder;
    RecordStore store = RecordStore::create(folder.file("db"));
    store.defineTable("t", {"a", "b"});
    addRows(store, "t", {{{1, 1}}});
    {
        RecordStore::Inserter inserter(store, "t", 2);
        const std::array<std::int16_t, 2> row{2, 2};
        for (int i = 0; i < 100; ++i) { // more than one statement's worth, some already written
            inserter.add(row);
        }
        const std::array<std::int16_t, 1> shortRow{3};
        EXPECT_THROW(inserter.add(shortRow), Error);
    }
    EXPECT_EQ(column(store, "SELECT a FROM t"), std::vector<std::int16_t>{1});
    // The store is usable for a new load afterwards.
    addRows(store, "t", {{{4, 4}}});
    EXPECT_EQ(column(store, "SELECT a FROM t"), (std::vector<std::int16_t>{1, 4}));
}
