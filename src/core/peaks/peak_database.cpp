// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/peaks/peak_database.h"

#include "core/common/errors.h"
#include "core/common/home_lock.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/peaks/extraction.h"
#include "core/peaks/query.h"
#include "core/peaks/texts.h"
#include "core/runfile/pair_scratch_file.h"
#include "core/runfile/run_reader.h"
#include "core/storage/record_store.h"

#include <array>
#include <filesystem>
#include <limits>
#include <span>

namespace kestrana::peaks {

namespace {

const std::vector<std::string> kFieldNames = {"fild0", "fild1", "fild2", "fild3", "fild4"};

void storeRunHeader(storage::RecordStore& store, const runfile::RunHeader& header) {
    store.execute("CREATE TABLE " + storage::quoteIdentifier(kRunTable) +
                  " (header_line TEXT, section_line TEXT)");
    store.execute("INSERT INTO " + storage::quoteIdentifier(kRunTable) + " VALUES (?, ?)",
                  {header.headerLine, header.sectionLine});
}

runfile::RunHeader storedRunHeader(storage::RecordStore& store) {
    runfile::RunHeader header;
    storage::RecordStore::RowSet tables(
        store, "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?", {std::string(kRunTable)});
    if (!tables.hasCurrent())
        return header;
    storage::RecordStore::RowSet run(store, "SELECT header_line, section_line FROM " +
                                                storage::quoteIdentifier(kRunTable) + " LIMIT 1");
    if (run.hasCurrent()) {
        header.headerLine = run.valueText(0);
        header.sectionLine = run.valueText(1);
    }
    return header;
}

StoredKmRange storedRange(storage::RecordStore& store) {
    const auto first = store.firstRow(kPeakTable);
    const auto last = store.lastRow(kPeakTable);
    if (first.size() < 2 || last.size() < 2) {
        return kmRangeOf(std::nullopt, std::nullopt);
    }
    return kmRangeOf(first[0], last[1]);
}

std::string kmText(const std::optional<std::int16_t>& km) {
    return km ? common::plainInt(*km) : std::string();
}

} // namespace

StoredKmRange kmRangeOf(std::optional<std::int16_t> firstKm, std::optional<std::int16_t> lastKm) {
    StoredKmRange range{firstKm, lastKm, -1};
    if (firstKm && lastKm && *lastKm > *firstKm) {
        range.direction = 1;
    }
    return range;
}

PeakCaptions peakCaptions(const runfile::RunHeader& header, const StoredKmRange& range) {
    return PeakCaptions{std::string(common::trimBlanks(header.section())), " Date : " + header.date(),
                        " Km " + kmText(range.firstKm) + " to Km " + kmText(range.lastKm)};
}

namespace {

// PROCESS DATA into the database file, or into `memory` when it is given (no database at all).
PeakProcessResult process(const std::string& runPath, const PeakFiles& files, PeakSession& session,
                          PeakRowsInMemory* memory) {
    // The scratch files and the database are shared by every program using this home folder.
    std::unique_ptr<common::HomeFolderLock> lock;
    if (memory == nullptr || files.writeScratchFiles) {
        lock = lockHomeFolder(files.databaseBase);
    }
    // No output of this program may replace the run it reads.
    common::protectRunFile(runPath);
    // Header lines of an earlier run are never carried over to this one.
    runfile::RunHeader header;
    PeakProcessResult result;

    // The new database grows beside the old one, which stays usable until the new one is complete.
    const std::string buildBase = files.databaseBase + "-new";
    std::optional<storage::RecordStore> store;
    std::optional<storage::RecordStore::Inserter> inserter;
    auto discardBuild = [&] {
        inserter.reset();
        store.reset();
        storage::RecordStore::remove(buildBase);
    };
    // The run is read once, and the scratch files, the record width, the database and the records all
    // take their part as it goes. A fault is kept until the run has been read and is then reported as
    // if those steps had run one after another: a fault of the run file itself first, then of the
    // scratch files, of the first record, of the database and of the later records.
    std::optional<common::Error> scratchFailure;
    std::optional<common::Error> databaseFailure;
    if (memory == nullptr) {
        try {
            storage::RecordStore::remove(buildBase);
            store.emplace(storage::RecordStore::create(buildBase));
            store->defineTable(kPeakTable, kFieldNames);
            inserter.emplace(*store, kPeakTable, kFieldNames.size());
        } catch (const std::exception& error) {
            const auto* reason = dynamic_cast<const common::Error*>(&error);
            databaseFailure =
                common::Error::refused(kDatabaseFailedMessage, reason ? reason->reason() : error.what());
            discardBuild();
        }
    }
    PeakRecordStream records(files.scratchPath, files.firstLinePath, [&](std::span<const PeakRow> rows) {
        if (memory != nullptr) {
            for (const PeakRow& row : rows) {
                memory->add(row);
            }
            result.build.rowCount += static_cast<long>(rows.size());
            return;
        }
        if (!inserter) {
            return;
        }
        try {
            for (const PeakRow& row : rows) {
                const std::array<std::int16_t, 5> values{row.fild0, row.fild1, row.fild2, row.fild3,
                                                         row.fild4};
                inserter->add(values);
                ++result.build.rowCount;
            }
        } catch (const common::Error& error) {
            databaseFailure = common::Error::refused(kDatabaseFailedMessage, error.reason());
            inserter.reset();
        }
    });

    // The scratch files are written only where someone may look at them (the screen's home folder).
    std::optional<runfile::PairScratchFile> scratch;
    std::string firstLine;
    if (files.writeScratchFiles) {
        try {
            scratch.emplace(files.scratchPath);
        } catch (const common::Error& error) {
            scratchFailure = common::Error::refused(kScratchFailedMessage, error.reason());
        }
    }
    runfile::PairingOptions options;
    options.pairCode = "67";
    // The peak analyser counts its records without the 16-bit limit of the other readers.
    options.maxPairs = std::numeric_limits<long>::max();
    options.onKilometreLine = [&](std::string_view kmLine) { records.setKilometreLine(kmLine); };
    try {
        runfile::readPairs(runPath, options, header,
                           [&](std::string_view kmLine, std::string_view peakLine, long lineNumber) {
                               records.addPeakLine(kmLine, peakLine, runPath, lineNumber);
                               if (scratch) {
                                   if (records.recordCount() == 1) {
                                       runfile::appendScratchLine(firstLine, kmLine, peakLine);
                                   }
                                   scratch->add(kmLine, peakLine);
                               }
                           });
    } catch (const common::Error& error) {
        // A failure that already has its message (a record too long, ...) keeps it.
        discardBuild();
        throw error.withMessage(kRunFileFailedMessage);
    }
    if (scratch) {
        try {
            scratch->commit();
            common::writeFileAtomically(files.firstLinePath, firstLine, common::Durability::Scratch);
        } catch (const common::Error& error) {
            scratchFailure = common::Error::refused(kScratchFailedMessage, error.reason());
        }
        scratch.reset();
    }
    std::optional<common::Error> failure = scratchFailure;
    for (const auto& next : {records.widthFailure(), databaseFailure, records.recordFailure()}) {
        if (!failure) {
            failure = next;
        }
    }
    if (!failure && result.build.rowCount == 0) {
        failure = common::Error::refused(
            noPeakRecordsMessage(runPath),
            common::Error(records.recordCount() == 0 ? "no peak line (code 67)"
                                                     : "no peak line holds a pair of peak value and location",
                          runPath)
                .reason());
    }
    if (failure) {
        discardBuild();
        throw *failure;
    }

    if (memory != nullptr) {
        const auto& stored = memory->rows();
        result.build.range = stored.empty() ? kmRangeOf(std::nullopt, std::nullopt)
                                            : kmRangeOf(stored.front().fild0, stored.back().fild1);
    } else {
        try {
            inserter->commit();
            inserter.reset();
            // The walk of SHOW DETAILS asks for one km and one parameter at a time.
            store->execute("CREATE INDEX peaks_by_km_parameter ON peaks (fild0, fild2)");
            storeRunHeader(*store, header);
            result.build.range = storedRange(*store);
            result.build.stamp = store->stamp();
            store->close();
            store.reset();
            // The database outlives the program (SHOW DETAILS after a restart reads it): on disk
            // before it takes the old one's place, so a power cut leaves the old database or the new.
            common::renameDurably(storage::RecordStore::fileOf(buildBase),
                                  storage::RecordStore::fileOf(files.databaseBase));
        } catch (const std::exception& error) {
            const auto* reason = dynamic_cast<const common::Error*>(&error);
            discardBuild();
            throw common::Error::refused(kDatabaseFailedMessage, reason ? reason->reason() : error.what());
        }
    }

    result.recordCount = records.recordCount();
    result.itemsPerRecord = records.itemsPerRecord();
    result.captions = peakCaptions(header, result.build.range);
    session.header = header;
    session.itemsPerRecord = result.itemsPerRecord;
    session.direction = result.build.range.direction;
    session.databaseStamp = result.build.stamp;
    return result;
}

} // namespace

std::unique_ptr<common::HomeFolderLock> lockHomeFolder(const std::string& databaseBase) {
    return std::make_unique<common::HomeFolderLock>(common::folderOfFile(databaseBase));
}

PeakProcessResult processPeakData(const std::string& runPath, const PeakFiles& files, PeakSession& session) {
    return process(runPath, files, session, nullptr);
}

PeakProcessResult processPeakDataInMemory(const std::string& runPath, const PeakFiles& files,
                                          PeakSession& session, PeakRowsInMemory& rows) {
    return process(runPath, files, session, &rows);
}

std::optional<PeakCaptions> storedRunCaptions(const std::string& databaseBase) {
    if (!std::filesystem::exists(storage::RecordStore::fileOf(databaseBase)))
        return std::nullopt;
    try {
        auto store = storage::RecordStore::open(databaseBase);
        return peakCaptions(storedRunHeader(store), storedRange(store));
    } catch (const common::Error&) {
        return std::nullopt;
    }
}

void adoptStoredDatabase(const std::string& databaseBase, PeakSession& session) {
    const auto lock = lockHomeFolder(databaseBase);
    if (!std::filesystem::exists(storage::RecordStore::fileOf(databaseBase))) {
        throw common::Error::refused(kNoDatabaseMessage,
                                     storage::RecordStore::fileOf(databaseBase) + " does not exist");
    }
    try {
        auto store = storage::RecordStore::open(databaseBase);
        const StoredKmRange range = storedRange(store);
        // The pairs of the first record: the leading rows that share its km and parameter.
        int pairs = 0;
        storage::RecordStore::RowSet rows(store,
                                          "SELECT fild0, fild1, fild2 FROM peaks ORDER BY rowid LIMIT 11");
        if (rows.hasCurrent()) {
            const std::int16_t km = rows.field(0), kmTo = rows.field(1), code = rows.field(2);
            while (rows.hasCurrent() && pairs < 10 && rows.field(0) == km && rows.field(1) == kmTo &&
                   rows.field(2) == code) {
                ++pairs;
                rows.moveNext();
            }
        }
        session.header = storedRunHeader(store);
        session.direction = range.direction;
        session.itemsPerRecord = static_cast<std::int16_t>(pairs > 0 ? 2 * pairs + 6 : 0);
        session.databaseStamp = store.stamp();
    } catch (const common::Error& error) {
        throw error.withMessage(kNoDatabaseMessage);
    }
}

} // namespace kestrana::peaks
