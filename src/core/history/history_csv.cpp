// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/history_csv.h"

#include "core/common/csv_writer.h"
#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/history/dates.h"

#include <cctype>

namespace kestrana::history {

namespace {} // namespace

std::string runsCsv(std::span<const library::RunRecord> runs, std::string_view lineEnd) {
    common::CsvWriter csv("id,line,direction,date,run,blocks,imported_at,imported_by,file", lineEnd);
    for (const library::RunRecord& run : runs) {
        csv.number(run.id)
            .text(run.series.line)
            .number(run.series.direction)
            .text(isoDate(run.day))
            .text(run.runNumber)
            .number(run.blocks)
            .text(isoUtcTimeOf(run.imported.at))
            .text(run.imported.by)
            .text(run.file)
            .endRow();
    }
    return csv.take();
}

std::string logCsv(std::span<const library::LogEntry> entries, std::string_view lineEnd) {
    common::CsvWriter csv("time,user,action,line,direction,date,run,file", lineEnd);
    for (const library::LogEntry& entry : entries) {
        csv.text(isoUtcTimeOf(entry.time))
            .text(entry.user)
            .text(entry.action == library::LogEntry::Action::Imported ? "imported" : "removed")
            .text(entry.series.line)
            .number(entry.series.direction)
            .text(isoDate(entry.day))
            .text(entry.runNumber)
            .text(entry.file)
            .endRow();
    }
    return csv.take();
}

std::string historyCsv(const BlockHistory& history, std::string_view lineEnd) {
    common::CsvWriter csv("date,run,value,segment", lineEnd);
    for (const HistoryPoint& point : history.points) {
        csv.text(isoDate(point.run.day))
            .text(point.run.runNumber)
            .number(point.value)
            .number(point.segment)
            .endRow();
    }
    return csv.take();
}

std::string forecastCsv(std::span<const ForecastRow> rows, std::string_view lineEnd) {
    common::CsvWriter csv("km,block,points,latest_date,latest_value,rate_per_year,crossing_date,status",
                          lineEnd);
    for (const ForecastRow& row : rows) {
        const BlockForecast& forecast = row.forecast;
        csv.number(row.block.km)
            .number(row.block.block)
            .number(static_cast<long long>(forecast.points))
            .text(isoDate(forecast.latestDay))
            .number(forecast.latestValue)
            .number(forecast.trend ? std::string_view(forecast.trend->ratePerYear) : std::string_view())
            .text(forecast.status == ForecastStatus::Crossing ? isoDate(*forecast.crossingDay)
                                                              : std::string())
            .text(statusName(forecast.status))
            .endRow();
    }
    return csv.take();
}

std::string maintenanceCsv(const Series& series, std::span<const MaintenanceStretch> stretches,
                           std::string_view lineEnd) {
    common::CsvWriter csv("line,direction,status,from_km,from_block,to_km,to_block,blocks,earliest_date",
                          lineEnd);
    for (const MaintenanceStretch& stretch : stretches) {
        csv.text(series.line)
            .number(series.direction)
            .text(statusName(stretch.status))
            .number(stretch.from.km)
            .number(stretch.from.block)
            .number(stretch.to.km)
            .number(stretch.to.block)
            .number(static_cast<long long>(stretch.blocks))
            .text(stretch.earliestDay ? isoDate(*stretch.earliestDay) : std::string())
            .endRow();
    }
    return csv.take();
}

std::string maintenanceCsvName(const Series& series, Day today) {
    std::string line;
    for (const char c : series.line) {
        const bool unsafe = static_cast<unsigned char>(c) < 0x20 || c == 0x7f ||
                            std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        line += unsafe ? '_' : c;
    }
    return "maintenance " + line + " " + isoDate(today) + ".csv";
}

std::string withCsvExtension(const std::string& name) {
    if (name.size() >= 4) {
        std::string ending = name.substr(name.size() - 4);
        for (char& c : ending) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (ending == ".csv") {
            return name;
        }
    }
    return name + ".csv";
}

void saveCsv(const std::string& path, std::string_view text) {
    common::writeFileAtomically(path, text);
}

} // namespace kestrana::history
