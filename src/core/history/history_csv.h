// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The CSV texts of track history: the run list, a block's history, the forecast list and the
// maintenance list. Text fields are written by common::csvField (quoted where they must be, and
// kept from being run as a spreadsheet formula); numbers as they are. Each line ends with `lineEnd` (a
// line feed for the command line's output, CR LF for a file the program saves).

#include "core/history/block_history.h"
#include "core/history/forecast_list.h"
#include "core/history/maintenance_list.h"
#include "core/library/run_library.h"

#include <span>
#include <string>
#include <string_view>

namespace kestrana::history {

// id,line,direction,date,run,blocks,imported_at,imported_by,file  (date as YYYY-MM-DD, imported_at as
// YYYY-MM-DDTHH:MM:SSZ, both empty for a run taken in before libraries kept them), rows as given.
std::string runsCsv(std::span<const library::RunRecord> runs, std::string_view lineEnd = "\n");
// time,user,action,line,direction,date,run,file  (action "imported" or "removed"), rows as given.
std::string logCsv(std::span<const library::LogEntry> entries, std::string_view lineEnd = "\n");
// date,run,value,segment
std::string historyCsv(const BlockHistory& history, std::string_view lineEnd = "\n");
// km,block,points,latest_date,latest_value,rate_per_year,crossing_date,status
std::string forecastCsv(std::span<const ForecastRow> rows, std::string_view lineEnd = "\n");
// line,direction,status,from_km,from_block,to_km,to_block,blocks,earliest_date
std::string maintenanceCsv(const Series& series, std::span<const MaintenanceStretch> stretches,
                           std::string_view lineEnd = "\n");
// The name a saved maintenance list is offered under: "maintenance LINE YYYY-MM-DD.csv", with the
// characters a file name cannot hold in the line's name written as "_".
std::string maintenanceCsvName(const Series& series, Day today);
// The name as typed, with ".csv" added unless it ends so already (in any case).
std::string withCsvExtension(const std::string& name);

// Writes a CSV text to a file as a whole (temporary file renamed into place). Throws common::Error.
void saveCsv(const std::string& path, std::string_view text);

} // namespace kestrana::history
