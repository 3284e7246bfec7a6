// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/history_screen_texts.h"

#include "core/history/dates.h"

#include <chrono>

namespace kestrana::history {

std::string seriesName(const Series& series) {
    return series.line + (series.direction < 0 ? "  (falling km)" : "  (rising km)");
}

std::string importProgressText(const library::ImportProgress& progress) {
    if (progress.total == 0 && progress.current.empty())
        return "Looking for run files ...";
    if (progress.done >= progress.total)
        return "Import finished: " + std::to_string(progress.total) +
               (progress.total == 1 ? " file" : " files");
    return "Importing " + std::to_string(progress.done + 1) + " of " + std::to_string(progress.total) + ": " +
           std::string(progress.current);
}

std::string mapSummary(const ConditionMap& map, const KmRange& range) {
    const std::string kms = "km " + std::to_string(range.low) + " to " + std::to_string(range.high);
    if (map.rows.empty() || map.columns.empty())
        return "No run of this line has a block in " + kms + ".";
    return std::to_string(map.rows.size()) + (map.rows.size() == 1 ? " run x " : " runs x ") +
           std::to_string(map.columns.size()) + (map.columns.size() == 1 ? " block, " : " blocks, ") + kms;
}

std::string maintenanceSummary(std::span<const MaintenanceStretch> stretches, const KmRange& range,
                               Day untilDay) {
    const std::string kms = "km " + std::to_string(range.low) + " to " + std::to_string(range.high) + ": ";
    if (stretches.empty())
        return kms + "nothing is due by " + isoDate(untilDay) + ".";
    std::size_t blocks = 0;
    for (const MaintenanceStretch& stretch : stretches)
        blocks += stretch.blocks;
    return kms + std::to_string(stretches.size()) + (stretches.size() == 1 ? " stretch, " : " stretches, ") +
           std::to_string(blocks) + (blocks == 1 ? " block, due by " : " blocks, due by ") +
           isoDate(untilDay);
}

std::vector<ValueBand> legendBands() {
    return {ValueBand::Band1,       ValueBand::Band2,  ValueBand::Band3, ValueBand::Band4,
            ValueBand::NotRecorded, ValueBand::NoBand, ValueBand::Absent};
}

std::string failureMessage(std::string_view what, std::string_view reason) {
    return std::string(what) + "\n" + std::string(reason);
}

std::string failureMessage(std::span<const Failure> failures) {
    std::string text;
    for (const Failure& failure : failures)
        text += (text.empty() ? "" : "\n\n") + failureMessage(failure.what, failure.reason);
    return text;
}

std::string importStoppedText(std::size_t imported) {
    const std::string count = imported == 0   ? std::string("No run was")
                              : imported == 1 ? std::string("1 run was")
                                              : std::to_string(imported) + " runs were";
    return std::string(kImportFailed) + " " + count + " imported before it stopped.";
}

std::string savedText(std::string_view path) {
    return "Maintenance list saved to " + std::string(path);
}

std::string otherLibraryChoice(std::string_view fileName) {
    return "Another file: " + std::string(fileName);
}

std::vector<std::string> runListRow(const library::RunRecord& run) {
    return {isoDate(run.day), run.runNumber, std::to_string(run.blocks), isoUtcTimeOf(run.imported.at),
            run.imported.by,  run.file};
}

std::string removalQuestion(std::span<const library::RunRecord> runs) {
    std::string text = runs.size() == 1
                           ? "Remove this run from the library?"
                           : "Remove these " + std::to_string(runs.size()) + " runs from the library?";
    for (const library::RunRecord& run : runs)
        text += "\n" + isoDate(run.day) + " run " + run.runNumber + ", " + std::to_string(run.blocks) +
                (run.blocks == 1 ? " block, " : " blocks, ") + run.file;
    return text;
}

std::string removedText(std::size_t runs) {
    return std::to_string(runs) + (runs == 1 ? " run removed" : " runs removed") + " from the library.";
}

std::string replaceQuestion(std::string_view path) {
    return std::string(path) + " already exists. Replace it?";
}

Day todayDay() {
    const auto now = std::chrono::system_clock::now();
    return static_cast<Day>(std::chrono::floor<std::chrono::days>(now).time_since_epoch().count());
}

} // namespace kestrana::history
