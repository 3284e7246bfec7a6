// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/trend.h"

#include "core/history/dates.h"

#include <algorithm>

namespace kestrana::history {

namespace {
// Sums over up to millions of points of days and 16-bit values, and their products, need more than 64
// bits; exact integers let the rate and the crossing day be rounded exactly as defined, with no
// floating-point doubt at a half or at a whole day.
__extension__ typedef __int128 Wide;

// The earliest and latest day a date can be written for (0001-01-01 and 9999-12-31): a nearly flat
// line can meet the threshold millions of years away, which is "never" for a maintenance plan.
constexpr Day kFirstWritableDay = -719162;
constexpr Day kLastWritableDay = 2932896;

Wide floorDivide(Wide numerator, Wide denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    Wide quotient = numerator / denominator;
    if (numerator % denominator != 0 && numerator < 0) {
        --quotient;
    }
    return quotient;
}

// Least-squares sums of the points: slope = covariance / variance, both scaled by n squared.
struct Sums {
    Wide n = 0, x = 0, y = 0, xx = 0, xy = 0;
    template <typename Point> explicit Sums(std::span<const Point> points) {
        for (const Point& point : points) {
            n += 1;
            x += point.day;
            y += point.value;
            xx += Wide{point.day} * point.day;
            xy += Wide{point.day} * point.value;
        }
    }
    Wide variance() const { return n * xx - x * x; }   // 0 when every point is on one day
    Wide covariance() const { return n * xy - x * y; } // its sign is the slope's
};

// slope x 365.25 rounded to hundredths, halves away from zero: covariance x 1461 / (variance x 4).
std::string rateText(const Sums& sums) {
    const Wide numerator = sums.covariance() * 146100;
    const Wide denominator = sums.variance() * 4;
    const bool negative = numerator < 0;
    const Wide magnitude = negative ? -numerator : numerator;
    Wide hundredths = magnitude / denominator;
    if (2 * (magnitude % denominator) >= denominator) {
        ++hundredths;
    }
    const long long whole = static_cast<long long>(hundredths / 100);
    const int fraction = static_cast<int>(hundredths % 100);
    std::string text = (negative && hundredths != 0 ? "-" : "") + std::to_string(whole) + ".";
    text += static_cast<char>('0' + fraction / 10);
    text += static_cast<char>('0' + fraction % 10);
    return text;
}

template <typename Point> bool hasTwoDays(std::span<const Point> points) {
    return std::any_of(points.begin(), points.end(),
                       [&](const Point& point) { return point.day != points.front().day; });
}
} // namespace

std::vector<std::size_t> segmentStarts(std::span<const TrendPoint> points, int jump) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0 || points[i].value - points[i - 1].value >= jump) {
            starts.push_back(i);
        }
    }
    return starts;
}

std::optional<Trend> fitTrend(std::span<const TrendPoint> points) {
    if (points.empty() || !hasTwoDays(points)) {
        return std::nullopt;
    }
    const Sums sums(points);
    Trend trend;
    trend.slope = static_cast<double>(sums.covariance()) / static_cast<double>(sums.variance());
    const double meanDay = static_cast<double>(sums.x) / static_cast<double>(sums.n);
    const double meanValue = static_cast<double>(sums.y) / static_cast<double>(sums.n);
    trend.intercept = meanValue - trend.slope * meanDay;
    trend.ratePerYear = rateText(sums);
    return trend;
}

std::optional<std::string> ratePerYear(std::span<const RatePoint> points) {
    if (points.empty() || !hasTwoDays(points)) {
        return std::nullopt;
    }
    return rateText(Sums(points));
}

std::string_view statusName(ForecastStatus status) {
    switch (status) {
    case ForecastStatus::Below:
        return "below";
    case ForecastStatus::Crossing:
        return "crossing";
    case ForecastStatus::Stable:
        return "stable";
    case ForecastStatus::TooFewRuns:
        break;
    }
    return "too few runs";
}

BlockForecast forecastOf(std::span<const TrendPoint> points, std::int16_t threshold, int jump) {
    BlockForecast forecast;
    if (points.empty()) {
        return forecast;
    }
    const std::vector<std::size_t> starts = segmentStarts(points, jump);
    const std::span<const TrendPoint> current = points.subspan(starts.back());
    forecast.points = current.size();
    forecast.latestDay = current.back().day;
    forecast.latestValue = current.back().value;
    forecast.trend = fitTrend(current);
    if (forecast.latestValue < threshold) {
        forecast.status = ForecastStatus::Below;
    } else if (!forecast.trend) {
        forecast.status = ForecastStatus::TooFewRuns;
    } else if (forecast.trend->slope < 0) {
        // The line mean + slope (d - mean day) meets X at d = x/n + (nX - y) variance / (n covariance).
        const Sums sums(current);
        const Wide numerator = sums.x * sums.covariance() + (sums.n * threshold - sums.y) * sums.variance();
        const Wide day = floorDivide(numerator, sums.n * sums.covariance());
        forecast.status = ForecastStatus::Crossing;
        forecast.crossingDay = static_cast<Day>(std::clamp<Wide>(day, kFirstWritableDay, kLastWritableDay));
    } else {
        forecast.status = ForecastStatus::Stable;
    }
    return forecast;
}

} // namespace kestrana::history
