#pragma once
// The second half of the peak analyser's PROCESS DATA: the peak database (table "peaks", fields
// fild0 to fild4, one row per peak pair in run-file order), the run's direction taken from its
// first and last stored rows, and the captions of the run's section, date and kilometre range.

#include "core/peaks/session.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kestrana::peaks {

inline constexpr const char* kPeakTable = "peaks";

// The run's ends as stored: fild0 of the first row and fild1 of the last row (none when the table
// is empty), and the direction they give: +1 when the last km is greater, else -1 (equal and empty
// included).
struct StoredKmRange {
    std::optional<std::int16_t> firstKm;
    std::optional<std::int16_t> lastKm;
    std::int16_t direction = -1;
};
StoredKmRange kmRangeOf(std::optional<std::int16_t> firstKm, std::optional<std::int16_t> lastKm);

// sectionLabel (the section, blanks trimmed), runDateLabel (" Date : " and the date of recording) and
// kmRangeLabel
// (" Km " first km " to Km " last km; an empty table leaves both numbers out).
struct PeakCaptions {
    std::string section;
    std::string runDate;
    std::string kmRange;
};
PeakCaptions peakCaptions(const runfile::RunHeader& header, const StoredKmRange& range);

struct PeakBuild {
    long rowCount = 0;
    StoredKmRange range;
};

struct PeakProcessResult {
    long recordCount = 0;
    std::int16_t itemsPerRecord = 0;
    PeakBuild build;
    PeakCaptions captions;
};

// PROCESS DATA in one pass over the run file: records, record width and the database, built beside
// the database at `files.databaseBase` with an index on (fild0, fild2) added after the load (rows of
// one km and parameter still come back in insertion order by rowid) and put in that one's place only
// when the whole build succeeded; then the direction and captions. The scratch files are written when
// `files.writeScratchFiles` is set. The session takes the run's header lines (none kept from an
// earlier run), its record width and its direction only when the whole operation succeeded; on a
// failure it stays as it was, like the old database.
// Throws PeakError with the message to show: kRunFileFailedMessage, kRecordTooLongMessage,
// kScratchFailedMessage, kBadNumberMessage, kDatabaseFailedMessage, kRecordCutShortMessage. On
// success the screen shows kDatabaseGeneratedMessage.
PeakProcessResult processPeakData(const std::string& runPath, const PeakFiles& files, PeakSession& session);

class PeakRowsInMemory;
// PROCESS DATA with the rows added to `rows` (empty before) instead of a database file; everything
// else as above, without kDatabaseFailedMessage.
PeakProcessResult processPeakDataInMemory(const std::string& runPath, const PeakFiles& files,
                                          PeakSession& session, PeakRowsInMemory& rows);

// For SHOW DETAILS when no PROCESS DATA ran since the program started: takes the direction from the
// stored rows of a database left from an earlier use, as PROCESS DATA does, and the record width
// from the pairs of its first record. Throws PeakError(kNoDatabaseMessage) when there is no
// readable database with a "peaks" table.
void adoptStoredDatabase(const std::string& databaseBase, PeakSession& session);

} // namespace kestrana::peaks
