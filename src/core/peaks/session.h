// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// What the peak analyser keeps between its operations, for the whole time the program runs (also
// while its screen is closed), and where its scratch and database files live.

#include "core/runfile/run_reader.h"

#include <cstdint>
#include <string>

namespace kestrana::peaks {

struct PeakSession {
    runfile::RunHeader header;       // the "95" and "91" lines of the last processed run
    std::int16_t itemsPerRecord = 0; // numbers per peak record (22 for eight pairs)
    std::int16_t direction = 0;      // +1 rising, -1 falling kilometres; 0 before any PROCESS DATA
    std::int16_t parameterCode = 0;  // code of the parameter last chosen or queried
    float kmShare = 0.0f;            // percent of kilometres listed by the last SHOW DETAILS
    std::int16_t totalPeaks = 0;     // peaks listed by the last SHOW DETAILS
    // The stamp of the peak database the session's direction and record width belong to (0 before
    // any): SHOW DETAILS refuses a file another program sharing the home folder has rebuilt since.
    std::uint64_t databaseStamp = 0;
};

// The program's one session (starts empty, lives until the program ends).
PeakSession& programPeakSession();

// The peak analyser's files inside one folder.
struct PeakFiles {
    std::string scratchPath;   // "temp_peak.txt": one record line per peak line
    std::string firstLinePath; // "temp_peak1.txt": the first record line alone
    std::string databaseBase;  // "trcpeak": the record store adds its own extension
    // The scratch files stay on disk after PROCESS DATA for the user to look at; a caller whose
    // folder nobody sees (the command line's private folder) leaves them out.
    bool writeScratchFiles = true;

    static PeakFiles in(const std::string& folder);
};

} // namespace kestrana::peaks
