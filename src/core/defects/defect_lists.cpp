#include "core/defects/defect_lists.h"

#include "core/history/dates.h"
#include "core/peaks/parameters.h"
#include "core/platform/errors.h"
#include "core/platform/text.h"

#include <algorithm>
#include <initializer_list>
#include <tuple>

namespace kestrana::defects {

namespace {

template <typename T> bool keptBy(const std::vector<T>& chosen, T value) {
    return chosen.empty() || std::find(chosen.begin(), chosen.end(), value) != chosen.end();
}

// One CSV line of fields already written as text; every field goes through the program's CSV rule.
void appendCsvLine(std::string& out, std::initializer_list<std::string_view> fields,
                   std::string_view lineEnd) {
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first) {
            out += ',';
        }
        out += platform::csvField(field);
        first = false;
    }
    out += lineEnd;
}

std::string number(long long value) {
    return std::to_string(value);
}

} // namespace

bool DefectFilter::keeps(const Defect& defect) const {
    return (!kms || kms->contains(defect.latest.km)) && keptBy(codes, defect.code) &&
           keptBy(statuses, defect.status) && (!tgiAtLeast || (defect.tgi && *defect.tgi >= *tgiAtLeast));
}

std::vector<std::uint32_t> listDefects(const TrackedDefects& tracked, const DefectFilter& filter) {
    const std::vector<Defect>& defects = tracked.defects();
    std::vector<std::uint32_t> listed;
    for (std::uint32_t number = 0; number < defects.size(); ++number) {
        if (filter.keeps(defects[number])) {
            listed.push_back(number);
        }
    }
    const int direction = tracked.direction();
    auto rank = [&](std::uint32_t number) {
        const Defect& defect = defects[number];
        return std::make_tuple(defect.status, -tracked.excessOf(defect),
                               direction * tracked.positionOf(defect), defect.code, number);
    };
    std::sort(listed.begin(), listed.end(),
              [&](std::uint32_t a, std::uint32_t b) { return rank(a) < rank(b); });
    return listed;
}

std::string parameterName(std::int16_t code) {
    for (const peaks::PeakParameter& parameter : peaks::peakParameters()) {
        if (parameter.code == code) {
            return std::string(parameter.name);
        }
    }
    return number(code);
}

std::string defectsCsv(const TrackedDefects& tracked, std::span<const std::uint32_t> listed,
                       std::string_view lineEnd) {
    std::string out;
    appendCsvLine(out,
                  {"parameter", "km", "location", "status", "first_date", "latest_date", "runs",
                   "latest_value", "max_value", "growth_per_year", "block", "tgi"},
                  lineEnd);
    for (const std::uint32_t number : listed) {
        const Defect& defect = tracked.defects()[number];
        const DefectSummary summary = tracked.summaryOf(defect);
        appendCsvLine(out,
                      {parameterName(defect.code), defects::number(defect.latest.km),
                       defects::number(defect.latest.location), statusName(defect.status),
                       history::isoDate(summary.firstDay), history::isoDate(summary.latestDay),
                       defects::number(defect.exceedances), defects::number(defect.latest.value),
                       defects::number(summary.largest), summary.growthPerYear.value_or(""),
                       defects::number(defect.block), defect.tgi ? defects::number(*defect.tgi) : ""},
                      lineEnd);
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
    std::string out;
    appendCsvLine(out, {"date", "run", "km", "location", "value"}, lineEnd);
    for (const Exceedance& exceedance : tracked.exceedancesOf(tracked.defects()[defect])) {
        const TrackedRun& run = tracked.runs()[exceedance.run];
        appendCsvLine(out,
                      {history::isoDate(run.day), run.runNumber, number(exceedance.km),
                       number(exceedance.location), number(exceedance.value)},
                      lineEnd);
    }
    return out;
}

std::string defectCsvAt(const TrackedDefects& tracked, std::int16_t code, std::int16_t km,
                        std::int16_t location, std::string_view lineEnd) {
    const auto defect = findDefect(tracked, code, km, location);
    if (!defect) {
        throw platform::Error::refused("No defect of " + parameterName(code) +
                                       " has its latest exceedance at km " + number(km) + ", location " +
                                       number(location) + ".");
    }
    return defectCsv(tracked, *defect, lineEnd);
}

} // namespace kestrana::defects
