// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/history/block_history_chart.h"

#include "core/history/block_history.h"

#include "core/history/dates.h"
#include "gui/widgets/charts.h"
#include "gui/widgets/qt_text.h"

#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <array>

namespace kestrana::gui::history {

namespace {

namespace core = kestrana::history;
using widgets::fromCore;

constexpr qint64 kMsPerDay = 86'400'000;
constexpr int kMarginDays = 30; // room either side of the first and last date

// Segments take these colours in turn, so that the values after maintenance stand apart.
const std::array<QColor, 4> kSegmentColours{QColor(0x15, 0x65, 0xc0), QColor(0x2e, 0x7d, 0x32),
                                            QColor(0x6a, 0x1b, 0x9a), QColor(0xef, 0x6c, 0x00)};

qreal chartX(core::Day day) {
    return static_cast<qreal>(static_cast<qint64>(day) * kMsPerDay);
}

struct Axes {
    QDateTimeAxis* x = nullptr;
    QValueAxis* y = nullptr;
};

void attach(QChart* chart, const Axes& axes, QAbstractSeries* series) {
    chart->addSeries(series);
    series->attachAxis(axes.x);
    series->attachAxis(axes.y);
}

// The run dates across, a month's room either side; the index up, with room for every value and the
// threshold.
Axes addAxes(QChart* chart, const core::BlockHistory& history, core::Day firstDay, core::Day lastDay) {
    double low = history.settings.threshold;
    double high = history.settings.threshold;
    for (const core::HistoryPoint& point : history.points) {
        low = std::min<double>(low, point.value);
        high = std::max<double>(high, point.value);
    }
    Axes axes{new QDateTimeAxis, new QValueAxis};
    axes.x->setFormat(QStringLiteral("yyyy-MM-dd"));
    axes.x->setTitleText(BlockHistoryChart::tr("Run date"));
    axes.x->setRange(
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(chartX(firstDay - kMarginDays)), Qt::UTC),
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(chartX(lastDay + kMarginDays)), Qt::UTC));
    axes.x->setTickCount(6);
    axes.y->setTitleText(fromCore(core::indexName(history.settings.index)));
    const double pad = std::max(2.0, (high - low) * 0.08);
    axes.y->setRange(low - pad, high + pad);
    axes.y->applyNiceNumbers();
    axes.y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(axes.x, Qt::AlignBottom);
    chart->addAxis(axes.y, Qt::AlignLeft);
    return axes;
}

void addThreshold(QChart* chart, const Axes& axes, const core::BlockHistory& history, core::Day firstDay,
                  core::Day lastDay) {
    const double threshold = history.settings.threshold;
    auto* thresholdLine = new QLineSeries;
    thresholdLine->setName(BlockHistoryChart::tr("Threshold ") + QString::number(history.settings.threshold));
    thresholdLine->setPen(QPen(QColor(0xc6, 0x28, 0x28), 1.2, Qt::DotLine));
    thresholdLine->append(chartX(firstDay - kMarginDays), threshold);
    thresholdLine->append(chartX(lastDay + kMarginDays), threshold);
    attach(chart, axes, thresholdLine);
}

struct SegmentCounts {
    int points = 0;
    int fittedLines = 0;
};

// Each segment's values in its colour, with its fitted line where it has a trend.
SegmentCounts addSegments(QChart* chart, const Axes& axes, const core::BlockHistory& history) {
    SegmentCounts counts;
    for (std::size_t s = 0; s < history.segments.size(); ++s) {
        const core::HistorySegment& segment = history.segments[s];
        const QColor colour = kSegmentColours[s % kSegmentColours.size()];
        auto* values = new QScatterSeries;
        values->setName(BlockHistoryChart::tr("Segment ") + QString::number(s + 1));
        values->setColor(colour);
        values->setBorderColor(colour.darker(130));
        values->setMarkerSize(8);
        for (std::size_t i = segment.first; i <= segment.last; ++i)
            values->append(chartX(history.points[i].run.day), history.points[i].value);
        counts.points += static_cast<int>(values->count());
        attach(chart, axes, values);
        if (!segment.trend)
            continue;
        auto* fitted = new QLineSeries;
        fitted->setPen(QPen(colour, 2));
        const core::Day from = history.points[segment.first].run.day;
        const core::Day to = history.points[segment.last].run.day;
        fitted->append(chartX(from), segment.trend->valueAt(from));
        fitted->append(chartX(to), segment.trend->valueAt(to));
        attach(chart, axes, fitted);
        chart->legend()->markers(fitted).front()->setVisible(false);
        ++counts.fittedLines;
    }
    return counts;
}

// A dashed upright line at each maintenance, named once in the legend. Returns how many.
int addMaintenanceMarks(QChart* chart, const Axes& axes, const core::BlockHistory& history) {
    int marks = 0;
    for (std::size_t index : history.maintenance) {
        auto* mark = new QLineSeries;
        const qreal x = chartX(history.points[index].run.day);
        mark->setPen(QPen(QColor(0x37, 0x47, 0x4f), 1.5, Qt::DashLine));
        mark->append(x, axes.y->min());
        mark->append(x, axes.y->max());
        if (marks == 0)
            mark->setName(BlockHistoryChart::tr("Maintenance"));
        attach(chart, axes, mark);
        if (marks > 0)
            chart->legend()->markers(mark).front()->setVisible(false);
        ++marks;
    }
    return marks;
}

// The forecast from the last value down to the threshold, the crossing marked with its date.
void addForecast(QChart* chart, const Axes& axes, const core::ForecastLine& forecast) {
    auto* line = new QLineSeries;
    line->setName(BlockHistoryChart::tr("Forecast"));
    line->setPen(QPen(QColor(0xc6, 0x28, 0x28), 2, Qt::DashLine));
    line->append(chartX(forecast.fromDay), forecast.fromValue);
    line->append(chartX(forecast.crossingDay), forecast.endValue);
    attach(chart, axes, line);
    if (!forecast.reachesThreshold)
        return;
    auto* crossing = new QScatterSeries;
    crossing->setColor(QColor(0xc6, 0x28, 0x28));
    crossing->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    crossing->setMarkerSize(9);
    crossing->append(chartX(forecast.crossingDay), forecast.threshold);
    crossing->setPointLabelsFormat(fromCore(core::isoDate(forecast.crossingDay)));
    crossing->setPointLabelsVisible(true);
    crossing->setPointLabelsClipping(false);
    attach(chart, axes, crossing);
    chart->legend()->markers(crossing).front()->setVisible(false);
}

} // namespace

BlockHistoryChart::BlockHistoryChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("blockHistoryChart"));
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(320, 200);
    clear();
}

QString BlockHistoryChart::caption() const {
    return chart()->title();
}

void BlockHistoryChart::clear(const QString& note) {
    QChart* chart = widgets::freshChart(this);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setTitle(note);
    hasHistory_ = false;
    pointCount_ = fittedLineCount_ = maintenanceMarkCount_ = 0;
    forecastDrawn_ = false;
}

void BlockHistoryChart::setHistory(const core::BlockHistory& history, int horizonMonths) {
    clear(fromCore(core::historyCaption(history)));
    if (history.points.empty())
        return;
    hasHistory_ = true;
    const core::Day firstDay = history.points.front().run.day;
    core::Day lastDay = history.points.back().run.day;
    std::optional<core::ForecastLine> forecast = core::forecastLineOf(history);
    if (forecast) {
        forecast = core::forecastLineUntil(*forecast, core::chartEndDay(lastDay, horizonMonths));
        lastDay = std::max(lastDay, forecast->crossingDay);
    }
    timeAxisDays_ = {firstDay - kMarginDays, lastDay + kMarginDays};

    const Axes axes = addAxes(chart(), history, firstDay, lastDay);
    addThreshold(chart(), axes, history, firstDay, lastDay);
    const SegmentCounts counts = addSegments(chart(), axes, history);
    pointCount_ = counts.points;
    fittedLineCount_ = counts.fittedLines;
    maintenanceMarkCount_ = addMaintenanceMarks(chart(), axes, history);
    if (forecast) {
        addForecast(chart(), axes, *forecast);
        forecastDrawn_ = true;
    }
}

} // namespace kestrana::gui::history
