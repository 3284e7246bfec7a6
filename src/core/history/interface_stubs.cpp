// Bodies of the track-history interface, filled in step by step.
#include "history/block_history.h"
#include "history/condition_map.h"
#include "history/dates.h"
#include "history/forecast_list.h"
#include "history/history_csv.h"
#include "history/history_settings.h"
#include "history/maintenance_list.h"
#include "history/maintenance_print.h"
#include "history/run_import.h"
#include "history/sha256.h"
#include "history/sqlite_run_library.h"
#include "history/terms.h"
#include "history/trend.h"

namespace kestrana::history {

std::string_view indexName(BlockIndex) {
    return "TGI";
}
std::optional<BlockIndex> indexFromName(std::string_view) {
    return std::nullopt;
}
KmRange kmRangeBetween(std::int16_t first, std::int16_t second) {
    return {first, second};
}
bool comesBefore(const BlockKey& a, const BlockKey& b, int) {
    return a < b;
}
ValueBand valueBandOf(std::int16_t) {
    return ValueBand::Absent;
}
std::string_view valueBandLegend(ValueBand) {
    return {};
}

Day dayOf(const CivilDate&) {
    return 0;
}
CivilDate civilDateOf(Day) {
    return {};
}
bool isCalendarDate(const CivilDate&) {
    return false;
}
std::optional<Day> dayOfRunDate(std::string_view) {
    return std::nullopt;
}
std::string isoDate(Day) {
    return {};
}
Day addMonths(Day day, int) {
    return day;
}

Sha256Digest sha256(std::string_view) {
    return {};
}
std::string hexText(const Sha256Digest&) {
    return {};
}

bool runComesBefore(const RunRecord& a, const RunRecord& b) {
    return a.id < b.id;
}
std::string defaultLibraryPath() {
    return {};
}
std::unique_ptr<RunLibrary> openSqliteLibrary(const std::string& path, LibraryAccess) {
    throw LibraryError(std::string(kNoLibraryMessage), path);
}

LoadedRun loadRunForLibrary(const std::string&) {
    return {};
}
std::string outcomeLine(const FileOutcome&) {
    return {};
}
std::vector<std::string> collectRunFiles(const std::vector<std::string>& paths) {
    return paths;
}
FileOutcome importRunFile(RunLibrary&, const std::string& path) {
    return {path, ImportStatus::Refused, {}};
}
ImportSummary importPaths(RunLibrary&, const std::vector<std::string>&, const ImportCallbacks&) {
    return {};
}
std::string summaryText(const ImportSummary&) {
    return {};
}

std::vector<std::size_t> segmentStarts(std::span<const TrendPoint>, int) {
    return {};
}
std::optional<Trend> fitTrend(std::span<const TrendPoint>) {
    return std::nullopt;
}
std::string_view statusName(ForecastStatus) {
    return {};
}
BlockForecast forecastOf(std::span<const TrendPoint>, std::int16_t, int) {
    return {};
}

BlockIndex indexFromText(std::string_view) {
    return BlockIndex::TGI;
}
std::int16_t thresholdFromText(std::string_view) {
    return kDefaultThreshold;
}
std::int16_t jumpFromText(std::string_view) {
    return kDefaultJump;
}
std::int16_t kmFromText(std::string_view) {
    return 0;
}
std::int16_t blockFromText(std::string_view) {
    return 0;
}
int directionFromText(std::string_view) {
    return 1;
}
int horizonMonthsFromText(std::string_view) {
    return kDefaultHorizonMonths;
}

BlockHistory blockHistoryOf(const Series& series, const BlockKey& block, const HistorySettings& settings,
                            const std::vector<RunValue>&) {
    return BlockHistory{series, block, settings, {}, {}, {}, std::nullopt};
}
BlockHistory blockHistory(const RunLibrary&, const Series& series, const BlockKey& block,
                          const HistorySettings& settings) {
    return blockHistoryOf(series, block, settings, {});
}
std::optional<ForecastLine> forecastLineOf(const BlockHistory&) {
    return std::nullopt;
}
std::string historyCaption(const BlockHistory&) {
    return {};
}

std::vector<ForecastRow> forecastRowsOf(std::span<const RunValues>, int, const HistorySettings&) {
    return {};
}
std::vector<ForecastRow> forecastRows(const RunLibrary&, const Series&, const std::optional<KmRange>&,
                                      const HistorySettings&) {
    return {};
}
void sortForecastRows(std::vector<ForecastRow>&, int) {}

ConditionMap conditionMapOf(const Series& series, BlockIndex index, std::span<const RunValues>) {
    return ConditionMap{series, index, {}, {}, {}};
}
ConditionMap conditionMap(const RunLibrary&, const Series& series, const KmRange&, BlockIndex index,
                          std::span<const RunId>) {
    return ConditionMap{series, index, {}, {}, {}};
}
std::string cellDescription(const ConditionMap&, std::size_t, std::size_t) {
    return {};
}

std::vector<MaintenanceStretch> maintenanceList(std::span<const ForecastRow>, int, Day) {
    return {};
}
Day horizonEnd(Day today, int) {
    return today;
}

std::string csvField(std::string_view text) {
    return std::string(text);
}
std::string runsCsv(std::span<const RunRecord>, std::string_view) {
    return {};
}
std::string historyCsv(const BlockHistory&, std::string_view) {
    return {};
}
std::string forecastCsv(std::span<const ForecastRow>, std::string_view) {
    return {};
}
std::string maintenanceCsv(std::span<const MaintenanceStretch>, std::string_view) {
    return {};
}
void saveCsv(const std::string&, std::string_view) {}

std::vector<std::string> maintenanceHeadingLines(const MaintenanceHeading&) {
    return {};
}
std::vector<std::string> maintenanceTableLines(std::span<const MaintenanceStretch>) {
    return {};
}
platform::HardCopyScript maintenancePrintScript(const MaintenanceHeading&,
                                                std::span<const MaintenanceStretch>) {
    return {};
}

} // namespace kestrana::history
