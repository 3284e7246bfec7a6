// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The second half of the peak analyser's PROCESS DATA: the peak database (table "peaks", fields
// fild0 to fild4, one row per peak pair in run-file order), the run's direction taken from its
// first and last stored rows, and the captions of the run's section, date and kilometre range.

#include "core/peaks/session.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kestrana::common {
class HomeFolderLock;
}

namespace kestrana::peaks {

inline constexpr const char* kPeakTable = "peaks";
// The run the database holds: one row with its "95" and "91" lines, so that the screen and the hard
// copy name that run also after a restart or a failed PROCESS DATA. A database written before this
// table existed reads as a run without header lines.
inline constexpr const char* kRunTable = "run";

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
    std::uint64_t stamp = 0; // of the new database (storage::RecordStore::stamp)
};

// The captions of the run the database at `databaseBase` holds (section, date, stored km range); none
// when there is no readable database.
std::optional<PeakCaptions> storedRunCaptions(const std::string& databaseBase);

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
// Throws kestrana::common::Error with the message to show: kRunFileFailedMessage, kRecordTooLongMessage,
// kScratchFailedMessage, kBadNumberMessage, kDatabaseFailedMessage, kRecordCutShortMessage, or
// noPeakRecordsMessage for a run that gives no peak pair at all (no database is built from it). On
// success the screen shows kDatabaseGeneratedMessage.
PeakProcessResult processPeakData(const std::string& runPath, const PeakFiles& files, PeakSession& session);

class PeakRowsInMemory;
// PROCESS DATA with the rows added to `rows` (empty before) instead of a database file; everything
// else as above, without kDatabaseFailedMessage.
PeakProcessResult processPeakDataInMemory(const std::string& runPath, const PeakFiles& files,
                                          PeakSession& session, PeakRowsInMemory& rows);

// The lock over the home folder that holds the database at `databaseBase`, for one operation.
// Throws common::Error with the message that another Kestrana is using that folder.
std::unique_ptr<common::HomeFolderLock> lockHomeFolder(const std::string& databaseBase);

// For SHOW DETAILS when no PROCESS DATA ran since the program started: takes the direction from the
// stored rows of a database left from an earlier use, as PROCESS DATA does, the record width from
// the pairs of its first record, and the header lines of the run it holds. Throws
// kestrana::common::Error(kNoDatabaseMessage) when there is no readable database with a "peaks" table.
void adoptStoredDatabase(const std::string& databaseBase, PeakSession& session);

} // namespace kestrana::peaks
