#include "core/history/history_csv.h"

#include "core/common/paths.h"
#include "core/common/text.h"
#include "core/history/dates.h"

#include <cctype>

namespace kestrana::history {

namespace {
class CsvText {
public:
    explicit CsvText(std::string_view lineEnd) : lineEnd_(lineEnd) {}
    // A text field: quoted where it must be, and kept from being read as a formula.
    CsvText& field(std::string_view text) { return raw(common::csvField(text)); }
    // A number, written as it is (a spreadsheet reads -1 or -0.52 as the numbers they are).
    CsvText& number(long long value) { return raw(std::to_string(value)); }
    CsvText& number(std::string_view decimalText) { return raw(decimalText); }
    void endLine() {
        text_ += lineEnd_;
        lineStart_ = true;
    }
    // A header line of fixed names, written as it stands.
    void header(std::string_view names) {
        text_ += names;
        endLine();
    }
    std::string take() { return std::move(text_); }

private:
    CsvText& raw(std::string_view written) {
        if (!lineStart_) {
            text_ += ',';
        }
        text_ += written;
        lineStart_ = false;
        return *this;
    }
    std::string_view lineEnd_;
    std::string text_;
    bool lineStart_ = true;
};
} // namespace

std::string runsCsv(std::span<const library::RunRecord> runs, std::string_view lineEnd) {
    CsvText csv(lineEnd);
    csv.header("id,line,direction,date,run,blocks,imported_at,imported_by,file");
    for (const library::RunRecord& run : runs) {
        csv.number(run.id)
            .field(run.series.line)
            .number(run.series.direction)
            .field(isoDate(run.day))
            .field(run.runNumber)
            .number(run.blocks)
            .field(isoUtcTimeOf(run.imported.at))
            .field(run.imported.by)
            .field(run.file)
            .endLine();
    }
    return csv.take();
}

std::string logCsv(std::span<const library::LogEntry> entries, std::string_view lineEnd) {
    CsvText csv(lineEnd);
    csv.header("time,user,action,line,direction,date,run,file");
    for (const library::LogEntry& entry : entries) {
        csv.field(isoUtcTimeOf(entry.time))
            .field(entry.user)
            .field(entry.action == library::LogEntry::Action::Imported ? "imported" : "removed")
            .field(entry.series.line)
            .number(entry.series.direction)
            .field(isoDate(entry.day))
            .field(entry.runNumber)
            .field(entry.file)
            .endLine();
    }
    return csv.take();
}

std::string historyCsv(const BlockHistory& history, std::string_view lineEnd) {
    CsvText csv(lineEnd);
    csv.header("date,run,value,segment");
    for (const HistoryPoint& point : history.points) {
        csv.field(isoDate(point.run.day))
            .field(point.run.runNumber)
            .number(point.value)
            .number(point.segment)
            .endLine();
    }
    return csv.take();
}

std::string forecastCsv(std::span<const ForecastRow> rows, std::string_view lineEnd) {
    CsvText csv(lineEnd);
    csv.header("km,block,points,latest_date,latest_value,rate_per_year,crossing_date,status");
    for (const ForecastRow& row : rows) {
        const BlockForecast& forecast = row.forecast;
        csv.number(row.block.km)
            .number(row.block.block)
            .number(static_cast<long long>(forecast.points))
            .field(isoDate(forecast.latestDay))
            .number(forecast.latestValue)
            .number(forecast.trend ? std::string_view(forecast.trend->ratePerYear) : std::string_view())
            .field(forecast.status == ForecastStatus::Crossing ? isoDate(*forecast.crossingDay)
                                                               : std::string())
            .field(statusName(forecast.status))
            .endLine();
    }
    return csv.take();
}

std::string maintenanceCsv(const Series& series, std::span<const MaintenanceStretch> stretches,
                           std::string_view lineEnd) {
    CsvText csv(lineEnd);
    csv.header("line,direction,status,from_km,from_block,to_km,to_block,blocks,earliest_date");
    for (const MaintenanceStretch& stretch : stretches) {
        csv.field(series.line)
            .number(series.direction)
            .field(statusName(stretch.status))
            .number(stretch.from.km)
            .number(stretch.from.block)
            .number(stretch.to.km)
            .number(stretch.to.block)
            .number(static_cast<long long>(stretch.blocks))
            .field(stretch.earliestDay ? isoDate(*stretch.earliestDay) : std::string())
            .endLine();
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
