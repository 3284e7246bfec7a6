// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/peaks/query.h"

#include "core/common/errors.h"
#include "core/common/home_lock.h"
#include "core/common/text.h"
#include "core/peaks/parameters.h"
#include "core/peaks/peak_database.h"
#include "core/peaks/texts.h"
#include "core/storage/record_store.h"

#include <algorithm>
#include <charconv>

namespace kestrana::peaks {

namespace {

// Reads up to `wanted` rows of one kilometre and parameter in stored order.
std::vector<PeakRow> kilometreRows(storage::RecordStore& store, int km, std::int16_t code, int wanted) {
    storage::RecordStore::RowSet result(
        store,
        "SELECT fild0, fild1, fild2, fild3, fild4 FROM peaks WHERE fild0 = ? AND fild2 = ? ORDER BY rowid",
        {static_cast<long long>(km), static_cast<long long>(code)});
    std::vector<PeakRow> rows;
    while (result.hasCurrent() && static_cast<int>(rows.size()) < wanted) {
        rows.push_back(
            PeakRow{result.field(0), result.field(1), result.field(2), result.field(3), result.field(4)});
        result.moveNext();
    }
    return rows;
}

// The rows of the database file, one query per kilometre.
class StoredPeakRows : public PeakRowSource {
public:
    explicit StoredPeakRows(storage::RecordStore& store) : store_(store) {}
    std::vector<PeakRow> kilometreRows(int km, std::int16_t code, int wanted) override {
        return peaks::kilometreRows(store_, km, code, wanted);
    }

private:
    storage::RecordStore& store_;
};

storage::RecordStore openDatabase(const std::string& databaseBase) {
    try {
        auto store = storage::RecordStore::open(databaseBase);
        {
            // A file without the table would list nothing and report that as a result.
            storage::RecordStore::RowSet probe(store,
                                               "SELECT fild0, fild1, fild2, fild3, fild4 FROM peaks LIMIT 1");
        }
        return store;
    } catch (const common::Error& error) {
        throw error.withMessage(kNoDatabaseMessage);
    }
}

} // namespace

int pairColumns(int itemsPerRecord) {
    const int twice = itemsPerRecord - 6;
    int columns = twice >= 0 ? twice / 2 : -((-twice + 1) / 2); // rounded down
    if (twice % 2 != 0 && columns % 2 != 0) {
        ++columns; // a half goes to the even neighbour
    }
    return std::clamp(columns, 0, (kColumnListCount - 2) / 2);
}

std::vector<int> walkOrder(int lo, int hi, int direction) {
    std::vector<int> kms;
    if (direction > 0) {
        for (int km = lo; km < hi; ++km) {
            kms.push_back(km);
        }
    } else {
        for (int km = hi; km > lo; --km) {
            kms.push_back(km);
        }
    }
    return kms;
}

bool listKilometre(std::span<const PeakRow> rows, std::int16_t limit, int columns, ColumnLists& lists,
                   std::int16_t& peakCount) {
    // Only the first-listed peak decides whether the kilometre is listed.
    if (rows.empty() || rows.front().fild4 <= limit) {
        return false;
    }
    auto addPair = [&lists](std::size_t list, const std::string& value) {
        lists[list].push_back(value);
        lists[list].emplace_back();
    };
    addPair(0, common::plainInt(rows.front().fild0));
    addPair(1, common::plainInt(rows.front().fild1));
    for (int i = 1; i <= columns; ++i) {
        const auto location = static_cast<std::size_t>(2 * i);
        const auto index = static_cast<std::size_t>(i - 1);
        if (index < rows.size() && rows[index].fild4 > limit) {
            ++peakCount;
            addPair(location, common::plainInt(rows[index].fild3));
            addPair(location + 1, common::plainInt(rows[index].fild4));
        } else {
            addPair(location, {});
            addPair(location + 1, {});
        }
    }
    return true;
}

std::string shareText(int kmCount, int kms) {
    return common::formatPattern(static_cast<double>(kmCount) * 100.0 / kms, "00.00");
}

float kmShareOf(const std::string& text) {
    // from_chars reads with a full stop whatever the locale of the program.
    float value = 0.0f;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string kmCountCaption(std::string_view parameterText, std::string_view limitText, int kmCount,
                           std::string_view share) {
    return " Number of Kms having " + std::string(parameterText) + " peaks more than " +
           std::string(limitText) + " mm = " + common::plainInt(kmCount) + " ( " + std::string(share) + "% )";
}

std::string peakCountCaption(std::string_view parameterText, std::string_view limitText, int peakCount) {
    return " Total number of " + std::string(parameterText) + " peaks more than " + std::string(limitText) +
           " mm = " + common::plainInt(peakCount);
}

namespace {

// The checks of SHOW DETAILS before it reads a row, in their order; sets the session's parameter.
struct CheckedInput {
    std::int16_t code = 0;
    int lo = 0;
    int hi = 0;
    std::int16_t limit = 0;
};
CheckedInput checkInput(const ShowDetailsInput& input, PeakSession& session) {
    const auto parameter = findPeakParameter(input.parameterText);
    if (!parameter) {
        throw common::Error::refused(kUnknownParameterMessage,
                                     "\"" + input.parameterText + "\" is no parameter name");
    }
    session.parameterCode = parameter->code;

    const auto a = common::textToInt16(input.kmFromText);
    const auto b = common::textToInt16(input.kmToText);
    if (!a || !b) {
        throw common::Error::refused(kBadKmMessage);
    }
    const int lo = std::min<int>(*a, *b);
    const int hi = std::max<int>(*a, *b);
    if (hi - lo > kMaxRangeKms) {
        throw common::Error::refused(kRangeTooWideMessage);
    }
    if (hi == lo) {
        throw common::Error::refused(kEmptyRangeMessage);
    }
    const auto limit = common::textToInt16(input.limitText);
    if (!limit) {
        throw common::Error::refused(kBadLimitMessage);
    }
    return CheckedInput{parameter->code, lo, hi, *limit};
}

PeakSummary listKilometres(const ShowDetailsInput& input, const CheckedInput& checked, PeakSession& session,
                           PeakRowSource& source) {
    PeakSummary summary;
    const int columns = pairColumns(session.itemsPerRecord);
    for (int km : walkOrder(checked.lo, checked.hi, session.direction)) {
        std::vector<PeakRow> rows;
        try {
            rows = source.kilometreRows(km, checked.code, std::max(columns, 1));
        } catch (const common::Error&) {
            continue; // a kilometre that cannot be read is passed over, as one without rows
        }
        if (listKilometre(rows, checked.limit, columns, summary.lists, summary.peakCount)) {
            ++summary.kmCount;
        }
    }
    summary.shareText = shareText(summary.kmCount, checked.hi - checked.lo);
    summary.kmCountText =
        kmCountCaption(input.parameterText, input.limitText, summary.kmCount, summary.shareText);
    summary.peakCountText = peakCountCaption(input.parameterText, input.limitText, summary.peakCount);
    session.kmShare = kmShareOf(summary.shareText);
    session.totalPeaks = summary.peakCount;
    return summary;
}

} // namespace

std::uint32_t PeakRowsInMemory::keyOf(int km, std::int16_t code) {
    return (static_cast<std::uint32_t>(static_cast<std::uint16_t>(km)) << 16) |
           static_cast<std::uint16_t>(code);
}

void PeakRowsInMemory::add(const PeakRow& row) {
    rowsByKmAndCode_[keyOf(row.fild0, row.fild2)].push_back(static_cast<std::uint32_t>(rows_.size()));
    rows_.push_back(row);
}

std::vector<PeakRow> PeakRowsInMemory::kilometreRows(int km, std::int16_t code, int wanted) {
    std::vector<PeakRow> found;
    // Kilometres are 16-bit values; one outside that range has no rows (the key would wrap).
    if (km < -32768 || km > 32767) {
        return found;
    }
    const auto it = rowsByKmAndCode_.find(keyOf(km, code));
    if (it != rowsByKmAndCode_.end()) {
        for (std::size_t i = 0; i < it->second.size() && static_cast<int>(found.size()) < wanted; ++i) {
            found.push_back(rows_[it->second[i]]);
        }
    }
    return found;
}

PeakSummary showDetails(const ShowDetailsInput& input, PeakSession& session, PeakRowSource& rows) {
    const CheckedInput checked = checkInput(input, session);
    return listKilometres(input, checked, session, rows);
}

PeakSummary showDetails(const ShowDetailsInput& input, PeakSession& session,
                        const std::string& databaseBase) {
    const CheckedInput checked = checkInput(input, session);
    const auto lock = lockHomeFolder(databaseBase);
    if (session.direction == 0) {
        adoptStoredDatabase(databaseBase, session);
    }
    auto store = openDatabase(databaseBase);
    // The direction and record width kept here belong to one database; another program sharing the
    // home folder may have put a database of another run in its place since.
    if (session.databaseStamp != 0 && store.stamp() != session.databaseStamp) {
        throw common::Error::refused(kDatabaseReplacedMessage,
                                     store.path() +
                                         ": not the database this session read; another program rebuilt it");
    }
    StoredPeakRows rows(store);
    return listKilometres(input, checked, session, rows);
}

} // namespace kestrana::peaks
