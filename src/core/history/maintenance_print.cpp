// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/maintenance_print.h"

#include "core/history/dates.h"

namespace kestrana::history {

namespace {
constexpr int kLeftMarginTwips = 1000;
constexpr int kTopTwips = 700;

std::string padded(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string dueText(const MaintenanceStretch& stretch) {
    if (!stretch.earliestDay) {
        return {};
    }
    return stretch.dueNow ? "due now (the fitted line crossed on " + isoDate(*stretch.earliestDay) + ")"
                          : isoDate(*stretch.earliestDay);
}

std::string blockText(const BlockKey& key) {
    return "km " + std::to_string(key.km) + " block " + std::to_string(key.block);
}
} // namespace

std::vector<std::string> maintenanceHeadingLines(const MaintenanceHeading& heading) {
    std::vector<std::string> lines;
    if (!heading.title.empty()) {
        lines.push_back(heading.title);
    }
    // Short lines, so that the longest line name and km range still fit the page's width.
    lines.push_back("Maintenance list: " + heading.series.line);
    lines.push_back(std::string(heading.series.direction < 0 ? "Falling km (-1)" : "Rising km (1)") +
                    ", km " + std::to_string(heading.range.low) + " to " +
                    std::to_string(heading.range.high));
    lines.push_back(std::string(indexName(heading.settings.index)) + " below " +
                    std::to_string(heading.settings.threshold) + " now or by " + isoDate(heading.untilDay) +
                    ", maintenance jump " + std::to_string(heading.settings.jump));
    lines.push_back("Horizon " + std::to_string(heading.horizonMonths) +
                    (heading.horizonMonths == 1 ? " month" : " months") + " from " + isoDate(heading.today));
    return lines;
}

std::vector<std::string> maintenanceTableLines(std::span<const MaintenanceStretch> stretches) {
    std::vector<std::string> lines;
    if (stretches.empty()) {
        lines.push_back("No block needs maintenance within the horizon.");
        return lines;
    }
    lines.push_back(padded("Status", 10) + padded("From", 22) + padded("To", 22) + padded("Blocks", 8) +
                    "Earliest date");
    for (const MaintenanceStretch& stretch : stretches) {
        const std::string count = std::to_string(stretch.blocks);
        lines.push_back(padded(std::string(statusName(stretch.status)), 10) +
                        padded(blockText(stretch.from), 22) + padded(blockText(stretch.to), 22) +
                        padded(count, 8) + dueText(stretch));
    }
    return lines;
}

common::HardCopyScript maintenancePrintScript(const MaintenanceHeading& heading,
                                              std::span<const MaintenanceStretch> stretches) {
    common::HardCopyScript script;
    script.setPosition(kLeftMarginTwips, kTopTwips);
    script.setFontSize(12);
    script.setBold(true);
    const std::vector<std::string> headingLines = maintenanceHeadingLines(heading);
    for (const std::string& line : headingLines) {
        script.printLineAt(kLeftMarginTwips, line);
        script.repeatOnNewPages(kLeftMarginTwips, line);
    }
    script.printLine("");
    script.repeatOnNewPages(kLeftMarginTwips, "");
    script.setFontSize(10);
    const std::vector<std::string> table = maintenanceTableLines(stretches);
    for (std::size_t i = 0; i < table.size(); ++i) {
        script.printLineAt(kLeftMarginTwips, table[i]);
        // The column heading stays bold and opens every later page; the stretches are in the
        // normal face.
        if (i == 0 && !stretches.empty()) {
            script.repeatOnNewPages(kLeftMarginTwips, table[0]);
            script.setBold(false);
        }
    }
    script.endDoc();
    return script;
}

} // namespace kestrana::history
