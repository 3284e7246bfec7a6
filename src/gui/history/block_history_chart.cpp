#include "gui/history/block_history_chart.h"

#include "core/history/block_history.h"

#include "core/history/dates.h"
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

void removeEverything(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

} // namespace

BlockHistoryChart::BlockHistoryChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("blockHistoryChart"));
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(320, 200);
    chart()->legend()->setAlignment(Qt::AlignBottom);
    clear();
}

QString BlockHistoryChart::caption() const {
    return chart()->title();
}

void BlockHistoryChart::clear(const QString& note) {
    removeEverything(chart());
    chart()->setTitle(note);
    hasHistory_ = false;
    pointCount_ = fittedLineCount_ = maintenanceMarkCount_ = 0;
    forecastDrawn_ = false;
}

void BlockHistoryChart::setHistory(const core::BlockHistory& history) {
    clear(fromCore(core::historyCaption(history)));
    if (history.points.empty())
        return;
    hasHistory_ = true;
    QChart* chart = this->chart();
    const double threshold = history.settings.threshold;
    const std::optional<core::ForecastLine> forecast = core::forecastLineOf(history);

    core::Day firstDay = history.points.front().run.day;
    core::Day lastDay = history.points.back().run.day;
    double low = threshold;
    double high = threshold;
    for (const core::HistoryPoint& point : history.points) {
        low = std::min<double>(low, point.value);
        high = std::max<double>(high, point.value);
    }
    if (forecast)
        lastDay = std::max(lastDay, forecast->crossingDay);

    auto* xAxis = new QDateTimeAxis;
    xAxis->setFormat(QStringLiteral("yyyy-MM-dd"));
    xAxis->setTitleText(QStringLiteral("Run date"));
    xAxis->setRange(
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(chartX(firstDay - kMarginDays)), Qt::UTC),
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(chartX(lastDay + kMarginDays)), Qt::UTC));
    xAxis->setTickCount(6);
    auto* yAxis = new QValueAxis;
    yAxis->setTitleText(fromCore(core::indexName(history.settings.index)));
    const double pad = std::max(2.0, (high - low) * 0.08);
    yAxis->setRange(low - pad, high + pad);
    yAxis->applyNiceNumbers();
    yAxis->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    const auto attach = [&](QAbstractSeries* series) {
        chart->addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    };

    auto* thresholdLine = new QLineSeries;
    thresholdLine->setName(QStringLiteral("Threshold ") + QString::number(history.settings.threshold));
    thresholdLine->setPen(QPen(QColor(0xc6, 0x28, 0x28), 1.2, Qt::DotLine));
    thresholdLine->append(chartX(firstDay - kMarginDays), threshold);
    thresholdLine->append(chartX(lastDay + kMarginDays), threshold);
    attach(thresholdLine);

    for (std::size_t s = 0; s < history.segments.size(); ++s) {
        const core::HistorySegment& segment = history.segments[s];
        const QColor colour = kSegmentColours[s % kSegmentColours.size()];
        auto* values = new QScatterSeries;
        values->setName(QStringLiteral("Segment ") + QString::number(s + 1));
        values->setColor(colour);
        values->setBorderColor(colour.darker(130));
        values->setMarkerSize(8);
        for (std::size_t i = segment.first; i <= segment.last; ++i)
            values->append(chartX(history.points[i].run.day), history.points[i].value);
        pointCount_ += static_cast<int>(values->count());
        attach(values);
        if (!segment.trend)
            continue;
        auto* fitted = new QLineSeries;
        fitted->setPen(QPen(colour, 2));
        const core::Day from = history.points[segment.first].run.day;
        const core::Day to = history.points[segment.last].run.day;
        fitted->append(chartX(from), segment.trend->valueAt(from));
        fitted->append(chartX(to), segment.trend->valueAt(to));
        attach(fitted);
        chart->legend()->markers(fitted).front()->setVisible(false);
        ++fittedLineCount_;
    }

    for (std::size_t index : history.maintenance) {
        auto* mark = new QLineSeries;
        const qreal x = chartX(history.points[index].run.day);
        mark->setPen(QPen(QColor(0x37, 0x47, 0x4f), 1.5, Qt::DashLine));
        mark->append(x, yAxis->min());
        mark->append(x, yAxis->max());
        if (maintenanceMarkCount_ == 0)
            mark->setName(QStringLiteral("Maintenance"));
        attach(mark);
        if (maintenanceMarkCount_ > 0)
            chart->legend()->markers(mark).front()->setVisible(false);
        ++maintenanceMarkCount_;
    }

    if (forecast) {
        auto* line = new QLineSeries;
        line->setName(QStringLiteral("Forecast"));
        line->setPen(QPen(QColor(0xc6, 0x28, 0x28), 2, Qt::DashLine));
        line->append(chartX(forecast->fromDay), forecast->fromValue);
        line->append(chartX(forecast->crossingDay), forecast->threshold);
        attach(line);
        auto* crossing = new QScatterSeries;
        crossing->setColor(QColor(0xc6, 0x28, 0x28));
        crossing->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        crossing->setMarkerSize(9);
        crossing->append(chartX(forecast->crossingDay), forecast->threshold);
        crossing->setPointLabelsFormat(fromCore(core::isoDate(forecast->crossingDay)));
        crossing->setPointLabelsVisible(true);
        crossing->setPointLabelsClipping(false);
        attach(crossing);
        chart->legend()->markers(crossing).front()->setVisible(false);
        forecastDrawn_ = true;
    }
}

} // namespace kestrana::gui::history
