// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/comparator/comparison.h"

#include "core/common/errors.h"
#include "core/common/home_lock.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/comparator/messages.h"
#include "core/comparator/run_database.h"
#include "core/storage/record_store.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace kestrana::comparator {

namespace {

using common::Error;
using storage::RecordStore;

bool fitsInt16(int value) {
    return value >= std::numeric_limits<std::int16_t>::min() &&
           value <= std::numeric_limits<std::int16_t>::max();
}

std::uint64_t cellKey(std::int16_t km, std::int16_t nextKm, std::int16_t block) {
    return (static_cast<std::uint64_t>(static_cast<std::uint16_t>(km)) << 32) |
           (static_cast<std::uint64_t>(static_cast<std::uint16_t>(nextKm)) << 16) |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(block));
}

} // namespace

CompareRange readCompareRange(std::string_view fromText, std::string_view toText,
                              std::int16_t currentDirection) {
    CompareRange range;
    const auto from = common::textToInt16(fromText);
    const auto to = common::textToInt16(toText);
    if (!from || !to) {
        range.refusal = std::string(kKmNotNumberMessage);
        return range;
    }
    range.fromKm = *from;
    range.toKm = *to;
    // Worked out in full int width: the difference of two 16-bit kms may not fit 16 bits itself.
    const int lo = std::min<int>(*from, *to);
    const int hi = std::max<int>(*from, *to);
    if (hi - lo > 100) {
        range.refusal = std::string(kRangeTooWideMessage);
        return range;
    }
    int first = lo;
    int last = hi - 1;
    if (currentDirection == -1) {
        first = hi;
        last = lo + 1;
    }
    if (!fitsInt16(first) || !fitsInt16(last)) {
        range.refusal = std::string(kKmOutOfLimitsMessage);
        return range;
    }
    range.bounds = {static_cast<std::int16_t>(first), static_cast<std::int16_t>(last), currentDirection};
    return range;
}

std::optional<std::string> directionRefusal(int olderRuns,
                                            const std::array<std::int16_t, kSlotCount>& directions,
                                            std::int16_t currentDirection) {
    if (!isOlderRunCount(olderRuns)) {
        return std::nullopt;
    }
    static constexpr std::array<std::string_view, 3> messages{
        kNotSameDirection2Message, kNotSameDirection3Message, kNotSameDirection4Message};
    for (int k = 1; k <= olderRuns; ++k) {
        if (directions[static_cast<std::size_t>(k)] != directions[0]) {
            return std::string(messages[static_cast<std::size_t>(olderRuns - 1)]);
        }
    }
    const auto rising_or_falling = [](std::int16_t direction) { return direction == 1 || direction == -1; };
    if (!rising_or_falling(directions[0]) || !rising_or_falling(currentDirection)) {
        return std::string(kUnknownDirectionMessage);
    }
    return std::nullopt;
}

std::string blockLabel(std::int16_t km, std::int16_t nextKm, int block) {
    return common::formatPattern(static_cast<long long>(km), "0000") + "    -   " +
           common::formatPattern(static_cast<long long>(nextKm), "0000") + "        " +
           common::plainInt(block);
}

void fillListing(ComparisonListing& listing, const ListingBounds& bounds, int olderRuns,
                 const CellLookup& lookup) {
    if (!isOlderRunCount(olderRuns)) {
        return;
    }
    if (bounds.step != 1 && bounds.step != -1) {
        throw Error("the listing needs a step of 1 or -1 km, not " + common::plainInt(bounds.step));
    }
    const int step = bounds.step;
    for (int km = bounds.firstKm; step == 1 ? km <= bounds.lastKm : km >= bounds.lastKm; km += step) {
        const auto thisKm = static_cast<std::int16_t>(km);
        const auto nextKm = static_cast<std::int16_t>(km + step);
        for (std::int16_t block = 1; block <= 5; ++block) {
            listing.blocks.push_back(blockLabel(thisKm, nextKm, block));
            listing.blocks.emplace_back();
            ComparedBlock& compared =
                listing.comparedBlocks.emplace_back(ComparedBlock{thisKm, nextKm, block, {}});
            for (int k = 0; k <= olderRuns; ++k) {
                const std::optional<std::int16_t> value = lookup(k, thisKm, nextKm, block);
                auto& column = listing.values[static_cast<std::size_t>(k)];
                column.push_back(value ? common::plainInt(*value) : std::string(kNotAvailable));
                column.emplace_back();
                compared.values.push_back(value);
            }
        }
    }
}

RunTableCells RunTableCells::read(RecordStore& store, int slot, std::int16_t kmLow, std::int16_t kmHigh) {
    RunTableCells cells;
    RecordStore::RowSet rows(store,
                             "SELECT tgi1, tgi2, tgi3, tgi4 FROM " +
                                 storage::quoteIdentifier(runTableName(slot)) +
                                 " WHERE tgi1 BETWEEN ? AND ? ORDER BY rowid",
                             {static_cast<long long>(kmLow), static_cast<long long>(kmHigh)});
    for (; rows.hasCurrent(); rows.moveNext()) {
        cells.cells_.emplace_back(cellKey(rows.field(0), rows.field(1), rows.field(2)), rows.field(3));
    }
    // A stable sort keeps rows of the same key in stored order, so the first of them is the one kept.
    std::stable_sort(cells.cells_.begin(), cells.cells_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    auto duplicate = std::unique(cells.cells_.begin(), cells.cells_.end(),
                                 [](const auto& a, const auto& b) { return a.first == b.first; });
    cells.cells_.erase(duplicate, cells.cells_.end());
    return cells;
}

std::optional<std::int16_t> RunTableCells::find(std::int16_t km, std::int16_t nextKm,
                                                std::int16_t block) const {
    const std::uint64_t key = cellKey(km, nextKm, block);
    auto it = std::lower_bound(cells_.begin(), cells_.end(), key,
                               [](const auto& cell, std::uint64_t wanted) { return cell.first < wanted; });
    if (it == cells_.end() || it->first != key) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<std::int16_t> lookupCellByQuery(RecordStore& store, int slot, std::int16_t km,
                                              std::int16_t nextKm, std::int16_t block) {
    RecordStore::RowSet rows(
        store,
        "select * from " + storage::quoteIdentifier(runTableName(slot)) +
            " where tgi1=? and tgi2=? and tgi3=?",
        {static_cast<long long>(km), static_cast<long long>(nextKm), static_cast<long long>(block)});
    try {
        return rows.field("tgi4");
    } catch (const storage::NoCurrentRecordError&) {
        return std::nullopt;
    }
}

std::vector<std::string> chartLegendNames(const std::vector<std::string>& runDates) {
    std::vector<std::string> names = runDates;
    for (std::size_t k = 0; k < runDates.size(); ++k) {
        if (std::count(runDates.begin(), runDates.end(), runDates[k]) > 1) {
            names[k] += " Run No." + std::to_string(k);
        }
    }
    return names;
}

std::string kmCategoryLabel(std::int16_t km) {
    return common::strOfInt(km);
}

KmAverageTable readKmAverages(RecordStore& store, int olderRuns, std::int16_t fromKm, std::int16_t toKm,
                              const std::array<std::string, kSlotCount>& runDates) {
    if (!isOlderRunCount(olderRuns)) {
        throw Error("no per-km comparison for " + common::plainInt(olderRuns) + " older runs");
    }
    // Joined on km from and block with slot 0; the columns are taken by position, and the series get
    // their names (the run dates, which may hold any characters) outside the SQL text.
    std::string select = "SELECT t0.tgi1";
    std::string from = " FROM " + storage::quoteIdentifier(runTableName(0)) + " AS t0";
    for (int k = 0; k <= olderRuns; ++k) {
        std::string alias = std::to_string(k);
        alias.insert(0, 1, 't');
        // Not recorded (0) counts as no value, which avg passes over; over no value at all it is NULL.
        select += ", avg(NULLIF(" + alias + ".tgi4, 0))";
        if (k > 0) {
            from += " INNER JOIN " + storage::quoteIdentifier(runTableName(k)) + " AS " + alias +
                    " ON t0.tgi1 = " + alias + ".tgi1 AND t0.tgi3 = " + alias + ".tgi3";
        }
    }
    const std::string sql =
        select + from + " WHERE t0.tgi1 BETWEEN ? AND ? GROUP BY t0.tgi1 ORDER BY t0.tgi1";

    KmAverageTable table;
    for (int k = 0; k <= olderRuns; ++k) {
        table.seriesNames.push_back(runDates[static_cast<std::size_t>(k)]);
    }
    const long long lo = std::min(fromKm, toKm);
    const long long hi = std::max(fromKm, toKm);
    for (RecordStore::RowSet rows(store, sql, {lo, hi}); rows.hasCurrent(); rows.moveNext()) {
        KmAverageRow row;
        row.km = rows.field(0);
        for (int k = 0; k <= olderRuns; ++k) {
            row.means.push_back(rows.isNull(k + 1) ? std::nullopt : std::optional(rows.valueDouble(k + 1)));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

CompareResult compareRuns(std::string_view fromText, std::string_view toText,
                          const ComparatorSession& session, const std::string& databaseBase) {
    CompareResult result;
    const CompareRange range = readCompareRange(fromText, toText, session.currentDirection);
    if (range.refusal) {
        result.outcome = CompareResult::Outcome::RangeRefused;
        result.failure = Error::refused(*range.refusal);
        return result;
    }
    result.listing.heading.emplace_back(kListingHeading);
    const auto refuse = [&](std::string_view message, std::string reason) {
        result.listing = ComparisonListing{};
        result.listing.heading.emplace_back(kListingHeading);
        result.outcome = CompareResult::Outcome::Refused;
        result.failure = Error::refused(message, std::move(reason));
        return result;
    };

    const int n = session.olderRuns;
    // Another program using the same home folder may be rebuilding the database right now.
    std::optional<common::HomeFolderLock> lock;
    try {
        lock.emplace(common::folderOfFile(databaseBase));
    } catch (const Error& busy) {
        return refuse(busy.message(), busy.reason());
    }
    try {
        RecordStore store = RecordStore::open(databaseBase);
        if (session.databaseStamp != 0 && store.stamp() != session.databaseStamp) {
            return refuse(kDatabaseReplacedMessage,
                          store.path() + ": not the database PROCESS DATA made; another program rebuilt it");
        }
        if (isOlderRunCount(n)) {
            if (auto refusal = directionRefusal(n, session.directions(), session.currentDirection)) {
                return refuse(*refusal, {});
            }
            // Each table's stretch is read once; the lookups then answer from memory.
            const auto kmLow = std::min(range.bounds.firstKm, range.bounds.lastKm);
            const auto kmHigh = std::max(range.bounds.firstKm, range.bounds.lastKm);
            std::vector<RunTableCells> tables;
            for (int k = 0; k <= n; ++k) {
                tables.push_back(RunTableCells::read(store, k, kmLow, kmHigh));
            }
            const auto dates = session.runDates();
            for (int k = 0; k <= n; ++k) {
                result.listing.runDates[static_cast<std::size_t>(k)].push_back(
                    dates[static_cast<std::size_t>(k)]);
            }
            fillListing(result.listing, range.bounds, n,
                        [&](int slot, std::int16_t km, std::int16_t nextKm, std::int16_t block) {
                            return tables[static_cast<std::size_t>(slot)].find(km, nextKm, block);
                        });
        }
    } catch (const Error& error) {
        return refuse(kDatabaseUnreadableMessage, error.reason());
    }

    result.outcome = CompareResult::Outcome::Compared;
    try {
        RecordStore store = RecordStore::open(databaseBase);
        result.chart = readKmAverages(store, n, range.fromKm, range.toKm, session.runDates());
    } catch (const Error& error) {
        result.failure = error;
    }
    return result;
}

} // namespace kestrana::comparator
