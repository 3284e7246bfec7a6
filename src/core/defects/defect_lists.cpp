// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/defects/defect_lists.h"

#include "core/common/csv_writer.h"
#include "core/common/errors.h"
#include "core/common/text.h"
#include "core/history/dates.h"
#include "core/peaks/parameters.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <ostream>
#include <tuple>

namespace kestrana::defects {

namespace {

template <typename T> bool keptBy(const std::vector<T>& chosen, T value) {
    return chosen.empty() || std::find(chosen.begin(), chosen.end(), value) != chosen.end();
}

} // namespace

bool DefectFilter::keeps(const Defect& defect) const {
    return (!kms || kms->contains(defect.latest.km)) && keptBy(codes, defect.code) &&
           keptBy(statuses, defect.status) && (!tgiAtLeast || (defect.tgi && *defect.tgi >= *tgiAtLeast));
}

std::vector<std::uint32_t> listDefects(const TrackedDefects& tracked, const DefectFilter& filter) {
    const std::vector<Defect>& defects = tracked.defects();
    // The sort keys are worked out once per row, not once per comparison, and packed into one number
    // in their order: the status (0 to 3, 2 bits), minus the excess over the limit (at least -65536:
    // the largest absolute value is 32768 and a limit at least -32768; 17 bits once offset), the
    // position in the run direction (under 2^25 either way: 1000 x a 16-bit km and a 16-bit location;
    // 26 bits once offset), the code (16 bits once offset); the defect's number breaks ties.
    struct Row {
        std::uint64_t key;
        std::uint32_t number;
    };
    std::size_t kept = 0;
    for (const Defect& defect : defects) {
        kept += filter.keeps(defect) ? 1 : 0;
    }
    std::vector<Row> rows;
    rows.reserve(kept);
    for (std::uint32_t number = 0; number < defects.size(); ++number) {
        const Defect& defect = defects[number];
        if (filter.keeps(defect)) {
            const std::int64_t lessOver = -std::int64_t{tracked.excessOf(defect)};
            const std::int64_t along = std::int64_t{tracked.direction()} * tracked.positionOf(defect);
            const auto key = static_cast<std::uint64_t>(defect.status) << 59 |
                             static_cast<std::uint64_t>(lessOver + 65536) << 42 |
                             static_cast<std::uint64_t>(along + (std::int64_t{1} << 25)) << 16 |
                             static_cast<std::uint64_t>(std::int64_t{defect.code} + 32768);
            rows.push_back(Row{key, number});
        }
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.key != b.key ? a.key < b.key : a.number < b.number;
    });
    std::vector<std::uint32_t> listed;
    listed.reserve(rows.size());
    for (const Row& row : rows) {
        listed.push_back(row.number);
    }
    return listed;
}

std::string parameterName(std::int16_t code) {
    for (const peaks::PeakParameter& parameter : peaks::peakParameters()) {
        if (parameter.code == code) {
            return std::string(parameter.name);
        }
    }
    return std::to_string(code);
}

namespace {

constexpr std::string_view kDefectsHeader = "parameter,km,location,status,first_date,latest_date,runs,latest_"
                                            "value,max_value,growth_per_year,block,tgi";

// The rows of a defect list written into `csv`; `flush` is called whenever its text has grown past a
// piece's worth, and may take it (a stream) or leave it (one text).
template <typename Flush>
void writeDefectRows(const TrackedDefects& tracked, std::span<const std::uint32_t> listed,
                     common::CsvWriter& csv, Flush flush) {
    constexpr std::size_t kPiece = 1 << 16;
    // Every text field of a row is one of a few: each is made into its CSV field once, not per row.
    std::vector<std::string> dates;
    for (const TrackedRun& run : tracked.runs()) {
        dates.push_back(common::csvField(history::isoDate(run.day)));
    }
    std::array<std::string, 4> statuses;
    for (std::size_t status = 0; status < statuses.size(); ++status) {
        statuses[status] = common::csvField(statusName(static_cast<DefectStatus>(status)));
    }
    std::vector<std::pair<std::int16_t, std::string>> parameters;
    const auto parameterField = [&](std::int16_t code) -> const std::string& {
        for (const auto& [known, field] : parameters) {
            if (known == code) {
                return field;
            }
        }
        return parameters.emplace_back(code, common::csvField(parameterName(code))).second;
    };
    const std::string noTgi = common::csvField("");
    // The summaries a batch at a time, which lets them be worked out side by side.
    constexpr std::size_t kBatch = 1024;
    for (std::size_t start = 0; start < listed.size(); start += kBatch) {
        const std::span<const std::uint32_t> batch =
            listed.subspan(start, std::min(kBatch, listed.size() - start));
        const std::vector<DefectSummary> summaries = tracked.summariesOf(batch);
        for (std::size_t i = 0; i < batch.size(); ++i) {
            const Defect& defect = tracked.defects()[batch[i]];
            const DefectSummary& summary = summaries[i];
            csv.field(parameterField(defect.code))
                .number(defect.latest.km)
                .number(defect.latest.location)
                .field(statuses[static_cast<std::size_t>(defect.status)])
                .field(dates[summary.firstRun])
                .field(dates[defect.latest.run])
                .number(defect.exceedances)
                .number(defect.latest.value)
                .number(summary.largest)
                .number(std::string_view(summary.growthPerYear ? *summary.growthPerYear : std::string()))
                .number(defect.block);
            if (defect.tgi) {
                csv.number(*defect.tgi);
            } else {
                csv.field(noTgi);
            }
            csv.endRow();
            if (csv.str().size() >= kPiece) {
                flush();
            }
        }
    }
}

} // namespace

std::string defectsCsv(const TrackedDefects& tracked, std::span<const std::uint32_t> listed,
                       std::string_view lineEnd) {
    common::CsvWriter csv(kDefectsHeader, lineEnd);
    writeDefectRows(tracked, listed, csv, [] {});
    return csv.take();
}

void writeDefectsCsv(std::ostream& stream, const TrackedDefects& tracked,
                     std::span<const std::uint32_t> listed, std::string_view lineEnd) {
    common::CsvWriter csv(kDefectsHeader, lineEnd);
    const auto flush = [&] {
        const std::string piece = csv.take();
        stream.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    };
    writeDefectRows(tracked, listed, csv, flush);
    flush();
}

std::optional<std::uint32_t> findDefect(const TrackedDefects& tracked, std::int16_t code, std::int16_t km,
                                        std::int16_t location) {
    const std::vector<Defect>& defects = tracked.defects();
    for (std::uint32_t number = 0; number < defects.size(); ++number) {
        const Defect& defect = defects[number];
        if (defect.code == code && defect.latest.km == km && defect.latest.location == location) {
            return number;
        }
    }
    return std::nullopt;
}

std::string defectCsv(const TrackedDefects& tracked, std::uint32_t defect, std::string_view lineEnd) {
    common::CsvWriter csv("date,run,km,location,value", lineEnd);
    for (const Exceedance& exceedance : tracked.exceedancesOf(tracked.defects()[defect])) {
        const TrackedRun& run = tracked.runs()[exceedance.run];
        csv.text(history::isoDate(run.day))
            .text(run.runNumber)
            .number(exceedance.km)
            .number(exceedance.location)
            .number(exceedance.value)
            .endRow();
    }
    return csv.take();
}

std::string defectCsvAt(const TrackedDefects& tracked, std::int16_t code, std::int16_t km,
                        std::int16_t location, std::string_view lineEnd) {
    const auto defect = findDefect(tracked, code, km, location);
    if (!defect) {
        throw common::Error::refused("No defect of " + parameterName(code) +
                                     " has its latest exceedance at km " + std::to_string(km) +
                                     ", location " + std::to_string(location) + ".");
    }
    return defectCsv(tracked, *defect, lineEnd);
}

} // namespace kestrana::defects
