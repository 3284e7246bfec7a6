#include "core/peaks/peak_database.h"

#include "core/peaks/extraction.h"
#include "core/peaks/texts.h"
#include "core/platform/errors.h"
#include "core/platform/paths.h"
#include "core/platform/record_store.h"
#include "core/platform/text.h"

#include <array>
#include <filesystem>

namespace kestrana::peaks {

namespace {

const std::vector<std::string> kFieldNames = {"fild0", "fild1", "fild2", "fild3", "fild4"};

StoredKmRange storedRange(platform::RecordStore& store) {
    const auto first = store.firstRow(kPeakTable);
    const auto last = store.lastRow(kPeakTable);
    if (first.size() < 2 || last.size() < 2) {
        return kmRangeOf(std::nullopt, std::nullopt);
    }
    return kmRangeOf(first[0], last[1]);
}

std::string kmText(const std::optional<std::int16_t>& km) {
    return km ? platform::plainInt(*km) : std::string();
}

// Loads every record of the scratch text into an open store and indexes it; returns the row count.
long loadRows(platform::RecordStore& store, const std::string& scratch, const std::string& scratchPath,
              std::int16_t itemsPerRecord) {
    store.defineTable(kPeakTable, kFieldNames);
    long rowCount = 0;
    platform::RecordStore::Inserter inserter(store, kPeakTable, kFieldNames.size());
    PeakRecordReader reader(scratch, scratchPath, itemsPerRecord);
    std::vector<PeakRow> rows;
    while (reader.next()) {
        rows.clear();
        expandRecord(reader.record(), itemsPerRecord, rows);
        for (const PeakRow& row : rows) {
            const std::array<std::int16_t, 5> values{row.fild0, row.fild1, row.fild2, row.fild3, row.fild4};
            inserter.add(values);
            ++rowCount;
        }
    }
    inserter.commit();
    // The walk of SHOW DETAILS asks for one km and one parameter at a time.
    store.execute("CREATE INDEX peaks_by_km_parameter ON peaks (fild0, fild2)");
    return rowCount;
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
    return PeakCaptions{std::string(platform::trimBlanks(header.section())), " Date : " + header.date(),
                        " Km " + kmText(range.firstKm) + " to Km " + kmText(range.lastKm)};
}

PeakBuild buildPeakDatabase(const std::string& scratchPath, std::int16_t itemsPerRecord,
                            const std::string& databaseBase) {
    std::string scratch;
    try {
        scratch = platform::readWholeFile(scratchPath);
    } catch (const platform::KestranaError& error) {
        throw PeakError(kScratchFailedMessage, error.reason());
    }
    // The new database grows beside the old one, which stays usable until the new one is complete.
    const std::string buildBase = databaseBase + "-new";
    PeakBuild build;
    try {
        {
            platform::RecordStore::remove(buildBase);
            auto store = platform::RecordStore::create(buildBase);
            build.rowCount = loadRows(store, scratch, scratchPath, itemsPerRecord);
            build.range = storedRange(store);
            store.close();
        }
        std::error_code error;
        std::filesystem::rename(platform::RecordStore::fileOf(buildBase),
                                platform::RecordStore::fileOf(databaseBase), error);
        if (error) {
            throw platform::KestranaError("cannot replace the peak database: " + error.message(),
                                          platform::RecordStore::fileOf(databaseBase));
        }
    } catch (const PeakError&) {
        platform::RecordStore::remove(buildBase);
        throw;
    } catch (const platform::KestranaError& error) {
        platform::RecordStore::remove(buildBase);
        throw PeakError(kDatabaseFailedMessage, error.reason());
    } catch (const std::exception& error) {
        platform::RecordStore::remove(buildBase);
        throw PeakError(kDatabaseFailedMessage, error.what());
    }
    return build;
}

PeakProcessResult processPeakData(const std::string& runPath, const PeakFiles& files, PeakSession& session) {
    // Header lines of an earlier run are never carried over to this one.
    runfile::RunHeader header;
    PeakProcessResult result;
    result.recordCount = scanPeaks(runPath, files.scratchPath, header);
    result.itemsPerRecord = measureRecordWidth(files.scratchPath, files.firstLinePath);
    result.build = buildPeakDatabase(files.scratchPath, result.itemsPerRecord, files.databaseBase);
    result.captions = peakCaptions(header, result.build.range);
    session.header = header;
    session.itemsPerRecord = result.itemsPerRecord;
    session.direction = result.build.range.direction;
    return result;
}

void adoptStoredDatabase(const std::string& databaseBase, PeakSession& session) {
    if (!std::filesystem::exists(platform::RecordStore::fileOf(databaseBase))) {
        throw PeakError(kNoDatabaseMessage, platform::RecordStore::fileOf(databaseBase) + " does not exist");
    }
    try {
        auto store = platform::RecordStore::open(databaseBase);
        const StoredKmRange range = storedRange(store);
        // The pairs of the first record: the leading rows that share its km and parameter.
        int pairs = 0;
        platform::RecordStore::RowSet rows(store,
                                           "SELECT fild0, fild1, fild2 FROM peaks ORDER BY rowid LIMIT 11");
        if (rows.hasCurrent()) {
            const std::int16_t km = rows.field(0), kmTo = rows.field(1), code = rows.field(2);
            while (rows.hasCurrent() && pairs < 10 && rows.field(0) == km && rows.field(1) == kmTo &&
                   rows.field(2) == code) {
                ++pairs;
                rows.moveNext();
            }
        }
        session.direction = range.direction;
        session.itemsPerRecord = static_cast<std::int16_t>(pairs > 0 ? 2 * pairs + 6 : 0);
    } catch (const platform::KestranaError& error) {
        throw PeakError(kNoDatabaseMessage, error.reason());
    }
}

} // namespace kestrana::peaks
