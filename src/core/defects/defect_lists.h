// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The lists of defect tracking: the defects of a series filtered and sorted as an engineer reads them,
// and the history of one defect, each as CSV. Matching always uses the whole series; the filters only
// choose the rows. Text fields are quoted as every CSV of the program quotes them; each line ends with
// `lineEnd` (a line feed for the command line, CR LF for a file the program saves).

#include "core/defects/defect_tracking.h"
#include "core/history/terms.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::defects {

// Which defects a list shows. An empty list of codes or statuses keeps every one.
struct DefectFilter {
    std::optional<history::KmRange> kms; // on the km of the latest exceedance, inclusive
    std::vector<std::int16_t> codes;
    std::vector<DefectStatus> statuses;
    std::optional<std::int16_t> tgiAtLeast; // keeps defects whose block has a TGI of at least this
    bool keeps(const Defect& defect) const;
};

// The numbers of the defects the filter keeps, sorted by status (repeat, new, recurring, gone), then
// by how far the latest absolute value is over its limit (most first), then by the latest
// exceedance's position in the run direction, then by parameter code, then in the order they started.
std::vector<std::uint32_t> listDefects(const TrackedDefects& tracked, const DefectFilter& filter);

// The name of a parameter code ("UN2L"); the code in digits for a code without a name.
std::string parameterName(std::int16_t code);

// parameter,km,location,status,first_date,latest_date,runs,latest_value,max_value,growth_per_year,block,tgi
// for the listed defects in the order given: dates as YYYY-MM-DD, the latest value signed, the largest
// absolute value, the growth with two decimals (empty below two different days), the TGI empty when
// the run of the latest exceedance has no such block.
std::string defectsCsv(const TrackedDefects& tracked, std::span<const std::uint32_t> listed,
                       std::string_view lineEnd = "\n");
// The same written to `stream` a piece at a time as the rows are made, so that a list of millions of
// defects is never held whole in memory.
void writeDefectsCsv(std::ostream& stream, const TrackedDefects& tracked,
                     std::span<const std::uint32_t> listed, std::string_view lineEnd = "\n");

// The defect of parameter `code` whose latest exceedance is at `km` and `location`: the one that
// started first when several are; none when there is no such defect.
std::optional<std::uint32_t> findDefect(const TrackedDefects& tracked, std::int16_t code, std::int16_t km,
                                        std::int16_t location);

// date,run,km,location,value: the defect's exceedances in run order, the run as its file writes it.
std::string defectCsv(const TrackedDefects& tracked, std::uint32_t defect, std::string_view lineEnd = "\n");

// findDefect, then defectCsv. Throws common::Error with the message "No defect of NAME has its latest
// exceedance at km K, location L." when there is no such defect.
std::string defectCsvAt(const TrackedDefects& tracked, std::int16_t code, std::int16_t km,
                        std::int16_t location, std::string_view lineEnd = "\n");

} // namespace kestrana::defects
