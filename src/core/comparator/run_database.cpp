// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/comparator/run_database.h"

#include "core/common/errors.h"
#include "core/common/home_lock.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/comparator/messages.h"
#include "core/runfile/field_stream.h"
#include "core/runfile/run_reader.h"
#include "core/storage/record_store.h"

#include <limits>

namespace kestrana::comparator {

namespace {

using common::Error;
using storage::RecordStore;

bool fitsInt16(long value) {
    return value >= std::numeric_limits<std::int16_t>::min() &&
           value <= std::numeric_limits<std::int16_t>::max();
}

// What a slot's load leaves behind besides its table.
struct LoadedRun {
    runfile::RunHeader header;
    std::int16_t firstKmFrom = 0;
    std::int16_t firstKmTo = 0;
    std::int16_t lastKmTo = 0;
    long rows = 0;
};

// Loads one run file into table "trc" + slot: the pairing reader hands on the pairs, whose numbers
// are read as one stream, 26 to a row, rows added until the stream ends. The rows go into the table
// as they are read; the table is made when the first row is ready (or once the run is read, when no
// row came), so that a run that cannot be read leaves no table, as it would if it were read whole
// first. Failures in the numbers are reported at the line of the pair in the pair layout (pair n on
// line n of `scratchName`), as reading back a scratch file would report them; no such file is written.
// Throws Error with the file and line of what went wrong.
LoadedRun loadSlot(RecordStore& store, int slot, const std::string& runPath, const std::string& scratchName,
                   int parameterField) {
    LoadedRun run;
    // No output of this program may replace a run it compares.
    common::protectRunFile(runPath);
    const std::string table = runTableName(slot);
    std::optional<RecordStore::Inserter> inserter;
    auto startTable = [&] {
        store.defineTable(table, runTableFields());
        // The index is made with the table: rows come in km order, so each lands at one end of it,
        // which costs far less than sorting the whole table into an index afterwards.
        store.execute("CREATE INDEX " + storage::quoteIdentifier(runTableIndexName(slot)) + " ON " +
                      storage::quoteIdentifier(table) + " (tgi1, tgi3, tgi2)");
        inserter.emplace(store, table, runTableFields().size());
    };
    runfile::PairNumberStream numbers(26, [&](const runfile::RecordSlots& record, long) {
        if (!inserter) {
            startTable();
        }
        const std::array<std::int16_t, 4> row{record[2], record[3], record[5],
                                              record[static_cast<std::size_t>(parameterField)]};
        inserter->add(row);
        if (run.rows == 0) {
            run.firstKmFrom = record[2];
            run.firstKmTo = record[3];
        }
        run.lastKmTo = record[3];
        ++run.rows;
    });
    runfile::PairingOptions options; // "68" block lines, at most 32767 of them
    options.onKilometreLine = [&](std::string_view kmLine) { numbers.setKilometreLine(kmLine); };
    long pairs = 0;
    try {
        pairs = runfile::readPairs(
            runPath, options, run.header,
            [&](std::string_view, std::string_view blockLine, long) { numbers.addPair(blockLine); });
    } catch (const Error&) {
        if (inserter) {
            inserter.reset(); // rolls the rows back
            store.execute("DROP TABLE " + storage::quoteIdentifier(table));
        }
        throw;
    }
    if (!inserter) {
        startTable();
    }
    if (const auto& bad = numbers.badNumber()) {
        throw Error(bad->problem, scratchName, bad->pair);
    }
    if (numbers.pendingNumbers() > 0) {
        // Past the last pair's line end, as a stream read to its end stands there.
        throw Error("the numbers end inside a record", scratchName, pairs + 1);
    }
    inserter->commit();
    if (run.rows == 0) {
        throw Error("the run has no block line (code 68), so its table has no first row", runPath);
    }
    return run;
}

} // namespace

std::string slotOpenedMessage(int slot) {
    return "File for TRC Run(" + std::to_string(slot) + ") successfully opened";
}

std::string runTableName(int slot) {
    return "trc" + std::to_string(slot);
}

std::string runTableIndexName(int slot) {
    return runTableName(slot) + "_km_block";
}

const std::vector<std::string>& runTableFields() {
    static const std::vector<std::string> fields{"tgi1", "tgi2", "tgi3", "tgi4"};
    return fields;
}

std::optional<int> compareParameterField(std::string_view parameter) {
    static constexpr std::array<int, 5> fields{17, 22, 23, 24, 25};
    for (std::size_t i = 0; i < kCompareParameterNames.size(); ++i) {
        if (parameter == kCompareParameterNames[i]) {
            return fields[i];
        }
    }
    return std::nullopt;
}

OlderRunsEdit olderRunsEdited(std::string_view text) {
    OlderRunsEdit edit;
    const auto number = common::parseNumber(text);
    const auto whole = number ? common::roundToInt16(*number) : std::nullopt;
    // Whatever is not a count of 1 to 3 greys the older slots, and no greyed slot is ever loaded.
    edit.runSlots = {SlotEnabling::Unchanged, SlotEnabling::Disabled, SlotEnabling::Disabled,
                     SlotEnabling::Disabled};
    if (!whole) {
        edit.showEnterOneToThree = number.has_value();
        return edit;
    }
    edit.olderRuns = *whole;
    if (*whole < 1 || *whole > 3) {
        edit.showEnterOneToThree = true;
        return edit;
    }
    for (int k = 1; k < kSlotCount; ++k) {
        edit.runSlots[static_cast<std::size_t>(k)] =
            k <= *whole ? SlotEnabling::Enabled : SlotEnabling::Disabled;
    }
    return edit;
}

BuildResult buildRunDatabase(const BuildRequest& request, ComparatorSession& session,
                             const std::function<void(const SlotLoaded&)>& onSlotLoaded) {
    BuildResult result;
    // Nothing to load is no database: the old one, and the comparison made from it, stay.
    if (!isOlderRunCount(request.olderRuns)) {
        result.outcome = BuildResult::Outcome::CountRefused;
        result.failure =
            Error::refused(kEnterOneToThreeMessage, "the number of older runs is " +
                                                        common::plainInt(request.olderRuns) + ", not 1 to 3");
        return result;
    }
    const std::optional<int> parameterField = compareParameterField(request.parameter);
    if (!parameterField) {
        result.outcome = BuildResult::Outcome::ParameterRefused;
        result.failure = Error::refused(kUnknownParameterMessage,
                                        "unknown compare parameter \"" + request.parameter + "\"");
        return result;
    }

    // The database and the scratch file are shared by every program using this home folder.
    std::optional<common::HomeFolderLock> lock;
    try {
        lock.emplace(common::folderOfFile(request.databaseBase));
    } catch (const Error& busy) {
        result.outcome = BuildResult::Outcome::DatabaseFailed;
        result.failure = busy;
        return result;
    }

    // Making the store replaces the old file; a file that cannot go fails like any other.
    std::optional<RecordStore> store;
    try {
        store.emplace(RecordStore::create(request.databaseBase));
        session.databaseStamp = store->stamp();
    } catch (const Error& error) {
        result.outcome = BuildResult::Outcome::DatabaseFailed;
        result.failure = error.withMessage(kDatabaseNotCreatedMessage);
        return result;
    }

    const int n = request.olderRuns;
    int slot = 0;
    try {
        for (slot = 0; slot <= n; ++slot) {
            RunSlot& kept = session.runSlots[static_cast<std::size_t>(slot)];
            kept.kmCaption.clear();
            LoadedRun run = loadSlot(*store, slot, request.slotPaths[static_cast<std::size_t>(slot)],
                                     request.scratchPath, *parameterField);
            kept.kmCaption =
                "Km  " + common::plainInt(run.firstKmFrom) + " To Km  " + common::plainInt(run.lastKmTo);
            const long direction = static_cast<long>(run.firstKmTo) - run.firstKmFrom;
            if (!fitsInt16(direction)) {
                throw Error("the run direction (km to - km from of the first block) leaves 16 bits",
                            request.slotPaths[static_cast<std::size_t>(slot)]);
            }
            session.startKm = run.firstKmFrom;
            session.currentDirection = static_cast<std::int16_t>(direction);
            kept.headerLine = run.header.headerLine;
            kept.direction = static_cast<std::int16_t>(direction);

            SlotLoaded loaded;
            loaded.slot = slot;
            loaded.kmCaption = kept.kmCaption;
            loaded.message = slotOpenedMessage(slot);
            if (slot == 0) {
                session.section = std::string(common::trimBlanks(run.header.section()));
            }
            ++result.slotsLoaded;
            // The km boxes are filled after slot 0's message, From first, so an overflow of To (16-bit
            // arithmetic: the product and the sum must each fit) fails after both.
            const long toKm = direction * 50 + run.firstKmFrom;
            const bool toKmFits = fitsInt16(direction * 50) && fitsInt16(toKm);
            if (slot == 0) {
                loaded.kmFromText = common::plainInt(run.firstKmFrom);
                result.kmFromText = loaded.kmFromText;
            }
            if (slot == 0 && toKmFits) {
                loaded.kmToText = common::plainInt(toKm < 0 ? 0 : toKm);
                result.kmToText = loaded.kmToText;
            }
            if (onSlotLoaded) {
                onSlotLoaded(loaded);
            }
            if (slot == 0 && !toKmFits) {
                throw Error("the km to box (direction x 50 + start km) leaves 16 bits", request.slotPaths[0]);
            }
        }
    } catch (const std::exception& failure) {
        const auto* error = dynamic_cast<const Error*>(&failure);
        for (auto& kept : session.runSlots) {
            kept.kmCaption.clear();
        }
        result.outcome = BuildResult::Outcome::SlotFailed;
        result.failure = Error::refused(kCouldNotOpenMessage, "run " + std::to_string(slot) + ": " +
                                                                  (error ? error->reason() : failure.what()));
    }
    return result;
}

} // namespace kestrana::comparator
