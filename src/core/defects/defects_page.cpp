// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/defects/defects_page.h"

#include "core/history/dates.h"
#include "core/history/history_csv.h"

#include <algorithm>
#include <cstdlib>

namespace kestrana::defects {

namespace {

constexpr int kLeftMarginTwips = 1000;
constexpr int kTopTwips = 700;
constexpr std::array<std::size_t, kDefectColumns.size()> kPrintWidths = {10, 7, 9, 10, 12, 12,
                                                                         6,  8, 8, 10, 6,  4};

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

DefectCell numberCell(std::string text) {
    return DefectCell{text, std::strtod(text.c_str(), nullptr)};
}

std::string runLabel(const TrackedRun& run) {
    return history::isoDate(run.day) + " run " + run.runNumber;
}

template <typename T, typename Name>
std::string listOrAll(const std::vector<T>& chosen, std::string_view all, Name name) {
    if (chosen.empty()) {
        return std::string(all);
    }
    std::string text;
    for (const T& item : chosen) {
        text += (text.empty() ? "" : ", ") + std::string(name(item));
    }
    return text;
}

} // namespace

std::array<DefectCell, kDefectColumns.size()> defectCells(const TrackedDefects& tracked,
                                                          std::uint32_t number) {
    const Defect& defect = tracked.defects()[number];
    const DefectSummary summary = tracked.summaryOf(defect);
    std::array<DefectCell, kDefectColumns.size()> cells;
    cells[0] = DefectCell{parameterName(defect.code), std::nullopt};
    cells[1] = numberCell(std::to_string(defect.latest.km));
    cells[2] = numberCell(std::to_string(defect.latest.location));
    cells[3] = DefectCell{std::string(statusName(defect.status)), static_cast<double>(defect.status)};
    cells[4] = DefectCell{history::isoDate(summary.firstDay), static_cast<double>(summary.firstDay)};
    cells[5] = DefectCell{history::isoDate(summary.latestDay), static_cast<double>(summary.latestDay)};
    cells[6] = numberCell(std::to_string(defect.exceedances));
    cells[7] = numberCell(std::to_string(defect.latest.value));
    cells[8] = numberCell(std::to_string(summary.largest));
    cells[9] = summary.growthPerYear ? numberCell(*summary.growthPerYear) : DefectCell{};
    cells[10] = numberCell(std::to_string(defect.block));
    cells[11] = defect.tgi ? numberCell(std::to_string(*defect.tgi)) : DefectCell{};
    return cells;
}

DefectHistory defectHistory(const TrackedDefects& tracked, std::uint32_t number) {
    const Defect& defect = tracked.defects()[number];
    DefectHistory history;
    history.title = parameterName(defect.code) + " at km " + std::to_string(defect.latest.km) +
                    ", location " + std::to_string(defect.latest.location) + ": " +
                    std::string(statusName(defect.status));
    history.limit = tracked.settings().limits.of(defect.code).value_or(0);
    const std::vector<Exceedance> exceedances = tracked.exceedancesOf(defect);
    std::vector<std::size_t> runs = tracked.coveringRunsOf(defect);
    for (const Exceedance& exceedance : exceedances) {
        runs.push_back(exceedance.run);
    }
    std::sort(runs.begin(), runs.end());
    runs.erase(std::unique(runs.begin(), runs.end()), runs.end());
    double n = 0, sumDay = 0, sumValue = 0, sumDayDay = 0, sumDayValue = 0;
    for (const std::size_t run : runs) {
        const TrackedRun& runOfPoint = tracked.runs()[run];
        DefectHistoryPoint point{runOfPoint.day, runLabel(runOfPoint), std::nullopt};
        const auto found = std::find_if(exceedances.begin(), exceedances.end(),
                                        [&](const Exceedance& e) { return e.run == run; });
        if (found != exceedances.end()) {
            point.value = std::abs(static_cast<std::int32_t>(found->value));
            const double day = runOfPoint.day;
            n += 1;
            sumDay += day;
            sumValue += *point.value;
            sumDayDay += day * day;
            sumDayValue += day * *point.value;
        }
        history.points.push_back(std::move(point));
    }
    const DefectSummary summary = tracked.summaryOf(defect);
    const double spread = n * sumDayDay - sumDay * sumDay;
    if (summary.growthPerYear && spread > 0) {
        history::Trend trend;
        trend.slope = (n * sumDayValue - sumDay * sumValue) / spread;
        trend.intercept = (sumValue - trend.slope * sumDay) / n;
        trend.ratePerYear = *summary.growthPerYear;
        history.growth = trend;
        history.growthText = "growth " + *summary.growthPerYear + " per year";
    } else {
        history.growthText = "growth: exceeded on one day only";
    }
    return history;
}

std::vector<bool> exceedanceCells(const history::ConditionMap& map, const TrackedDefects& tracked,
                                  std::span<const library::RunId> runIds) {
    std::vector<bool> marked(map.cells.size(), false);
    // The row of each tracked run that the map shows.
    std::vector<std::optional<std::size_t>> rowOf(tracked.runs().size());
    for (std::size_t run = 0; run < runIds.size() && run < rowOf.size(); ++run) {
        for (std::size_t row = 0; row < map.rows.size(); ++row) {
            if (map.rows[row].id == runIds[run]) {
                rowOf[run] = row;
            }
        }
    }
    for (const Defect& defect : tracked.defects()) {
        for (const Exceedance& exceedance : tracked.exceedancesOf(defect)) {
            if (!rowOf[exceedance.run]) {
                continue;
            }
            const history::BlockKey key{exceedance.km, blockOfLocation(exceedance.location)};
            const auto column = std::find(map.columns.begin(), map.columns.end(), key);
            if (column != map.columns.end()) {
                marked[*rowOf[exceedance.run] * map.columns.size() +
                       static_cast<std::size_t>(column - map.columns.begin())] = true;
            }
        }
    }
    return marked;
}

std::string defectsCsvName(const history::Series& series, history::Day today) {
    constexpr std::string_view kMaintenance = "maintenance";
    return "defects" + history::maintenanceCsvName(series, today).substr(kMaintenance.size());
}

std::vector<std::string> defectsHeadingLines(const DefectsHeading& heading) {
    std::vector<std::string> lines;
    lines.push_back("Defects: " + heading.series.line + ", " +
                    (heading.series.direction < 0 ? "falling km (-1)" : "rising km (1)") + ", km " +
                    std::to_string(heading.range.low) + " to " + std::to_string(heading.range.high));
    // Six limits to a line, so that the line fits the page.
    std::vector<std::string> limits;
    for (std::int16_t code = 0; code < 14; ++code) {
        if (const auto limit = heading.settings.limits.of(code)) {
            limits.push_back(parameterName(code) + " " + std::to_string(*limit));
        }
    }
    constexpr std::size_t kLimitsPerLine = 6;
    std::string line = "Limits: ";
    for (std::size_t i = 0; i < limits.size(); ++i) {
        if (i > 0 && i % kLimitsPerLine == 0) {
            lines.push_back(line + ",");
            line = "        ";
        }
        line += (i % kLimitsPerLine == 0 ? "" : ", ") + limits[i];
    }
    lines.push_back(line + (limits.empty() ? "" : "; ") + "tolerance " +
                    std::to_string(heading.settings.tolerance) + " m");
    lines.push_back("Shown: " + listOrAll(heading.filter.statuses, "all statuses", statusName) + "; " +
                    listOrAll(heading.filter.codes, "all parameters", parameterName) + "; " +
                    (heading.filter.tgiAtLeast
                         ? "good track only (TGI at least " + std::to_string(*heading.filter.tgiAtLeast) + ")"
                         : std::string("every block")) +
                    "; listed on " + history::isoDate(heading.today));
    return lines;
}

std::string defectsSummary(const TrackedDefects& tracked, std::span<const std::uint32_t> listed) {
    std::array<std::size_t, 4> counts{};
    for (const std::uint32_t number : listed) {
        ++counts[static_cast<std::size_t>(tracked.defects()[number].status)];
    }
    return std::to_string(listed.size()) + (listed.size() == 1 ? " defect" : " defects") + " listed (" +
           std::to_string(counts[0]) + " repeat, " + std::to_string(counts[1]) + " new, " +
           std::to_string(counts[2]) + " recurring, " + std::to_string(counts[3]) + " gone)";
}

std::vector<std::string> defectsTableLines(const TrackedDefects& tracked,
                                           std::span<const std::uint32_t> listed) {
    if (listed.empty()) {
        return {std::string(kNoDefectsNote)};
    }
    std::vector<std::string> lines;
    std::string heading;
    for (std::size_t i = 0; i < kDefectColumns.size(); ++i) {
        heading += padded(std::string(i == 7   ? "Value"
                                      : i == 9 ? "Growth/yr"
                                               : kDefectColumns[i]),
                          kPrintWidths[i]);
    }
    lines.push_back(heading);
    for (const std::uint32_t number : listed) {
        const auto cells = defectCells(tracked, number);
        std::string line;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            line += padded(cells[i].text, kPrintWidths[i]);
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

common::HardCopyScript defectsPrintScript(const DefectsHeading& heading, const TrackedDefects& tracked,
                                          std::span<const std::uint32_t> listed) {
    common::HardCopyScript script;
    script.setPosition(kLeftMarginTwips, kTopTwips);
    script.setFontSize(11);
    script.setBold(true);
    for (const std::string& line : defectsHeadingLines(heading)) {
        script.printLineAt(kLeftMarginTwips, line);
        script.repeatOnNewPages(kLeftMarginTwips, line);
    }
    script.printLine("");
    script.repeatOnNewPages(kLeftMarginTwips, "");
    script.setFontSize(9);
    const std::vector<std::string> table = defectsTableLines(tracked, listed);
    for (std::size_t i = 0; i < table.size(); ++i) {
        script.printLineAt(kLeftMarginTwips, table[i]);
        // The column headings stay bold and open every later page.
        if (i == 0 && !listed.empty()) {
            script.repeatOnNewPages(kLeftMarginTwips, table[0]);
            script.setBold(false);
        }
    }
    script.endDoc();
    return script;
}

} // namespace kestrana::defects
