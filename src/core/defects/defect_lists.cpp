#include "core/defects/defect_lists.h"

#include "core/common/errors.h"
#include "core/common/text.h"
#include "core/history/dates.h"
#include "core/peaks/parameters.h"

#include <algorithm>
#include <charconv>
#include <tuple>

namespace kestrana::defects {

namespace {

template <typename T> bool keptBy(const std::vector<T>& chosen, T value) {
    return chosen.empty() || std::find(chosen.begin(), chosen.end(), value) != chosen.end();
}

// CSV lines written field by field: text through the program's CSV rule, numbers as they are (they
// never need quotes).
class CsvLine {
public:
    CsvLine(std::string& out, std::string_view lineEnd) : out_(out), lineEnd_(lineEnd) {}
    CsvLine& text(std::string_view field) {
        separate();
        out_ += common::csvField(field);
        return *this;
    }
    // A number already written as decimal text (the growth): never quoted or marked as text.
    CsvLine& number(std::string_view decimalText) {
        separate();
        out_ += decimalText;
        return *this;
    }
    CsvLine& number(long long value) {
        separate();
        char digits[24];
        out_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        return *this;
    }
    void end() {
        out_ += lineEnd_;
        first_ = true;
    }

private:
    void separate() {
        if (!first_) {
            out_ += ',';
        }
        first_ = false;
    }
    std::string& out_;
    std::string_view lineEnd_;
    bool first_ = true;
};

std::vector<std::string> runDates(const TrackedDefects& tracked) {
    std::vector<std::string> dates;
    for (const TrackedRun& run : tracked.runs()) {
        dates.push_back(history::isoDate(run.day));
    }
    return dates;
}

} // namespace

bool DefectFilter::keeps(const Defect& defect) const {
    return (!kms || kms->contains(defect.latest.km)) && keptBy(codes, defect.code) &&
           keptBy(statuses, defect.status) && (!tgiAtLeast || (defect.tgi && *defect.tgi >= *tgiAtLeast));
}

std::vector<std::uint32_t> listDefects(const TrackedDefects& tracked, const DefectFilter& filter) {
    const std::vector<Defect>& defects = tracked.defects();
    // The sort keys are worked out once per row, not once per comparison.
    struct Row {
        DefectStatus status;
        std::int32_t lessOver; // minus the excess over the limit: most over first
        std::int32_t along;    // position in the run direction
        std::int16_t code;
        std::uint32_t number;
        auto key() const { return std::tie(status, lessOver, along, code, number); }
    };
    std::vector<Row> rows;
    for (std::uint32_t number = 0; number < defects.size(); ++number) {
        const Defect& defect = defects[number];
        if (filter.keeps(defect)) {
            rows.push_back(Row{defect.status, -tracked.excessOf(defect),
                               tracked.direction() * tracked.positionOf(defect), defect.code, number});
        }
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.key() < b.key(); });
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

std::string defectsCsv(const TrackedDefects& tracked, std::span<const std::uint32_t> listed,
                       std::string_view lineEnd) {
    std::string out;
    out += "parameter,km,location,status,first_date,latest_date,runs,latest_value,max_value,growth_per_year,"
           "block,tgi";
    out += lineEnd;
    const std::vector<std::string> dates = runDates(tracked);
    std::vector<history::RatePoint> points;
    CsvLine line(out, lineEnd);
    for (const std::uint32_t number : listed) {
        const Defect& defect = tracked.defects()[number];
        const DefectSummary summary = tracked.summaryOf(defect, points);
        line.text(parameterName(defect.code))
            .number(defect.latest.km)
            .number(defect.latest.location)
            .text(statusName(defect.status))
            .text(dates[summary.firstRun])
            .text(dates[defect.latest.run])
            .number(defect.exceedances)
            .number(defect.latest.value)
            .number(summary.largest)
            .number(std::string_view(summary.growthPerYear ? *summary.growthPerYear : std::string()))
            .number(defect.block);
        if (defect.tgi) {
            line.number(*defect.tgi);
        } else {
            line.text("");
        }
        line.end();
    }
    return out;
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
    std::string out = "date,run,km,location,value";
    out += lineEnd;
    CsvLine line(out, lineEnd);
    for (const Exceedance& exceedance : tracked.exceedancesOf(tracked.defects()[defect])) {
        const TrackedRun& run = tracked.runs()[exceedance.run];
        line.text(history::isoDate(run.day))
            .text(run.runNumber)
            .number(exceedance.km)
            .number(exceedance.location)
            .number(exceedance.value)
            .end();
    }
    return out;
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
