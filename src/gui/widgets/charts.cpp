// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/widgets/charts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QRegularExpression>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>

namespace kestrana::gui::widgets {

namespace {

// The smallest size at which a chart still reads well; a chart that was never laid out (a hidden
// screen part) is grabbed at this size.
constexpr QSize kMinimumPictureSize{480, 320};

// Axis labels are drawn as rich text: "<36 ... >" would pass for a tag and runs of blanks (which
// stand the band names under their bars) would collapse, so the text is escaped and its blanks fixed.
QString axisText(const QString& text) {
    return text.toHtmlEscaped().replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
}

// The chart's picture is drawn at print resolution: at its natural size on paper (one screen pixel to
// 15 twips) it has 300 pixels to the inch, and it shows at its screen size wherever it is pasted.
constexpr qreal kPictureScale = 300.0 / 96.0;

QPixmap grabChart(QChartView* view) {
    if (view->width() < kMinimumPictureSize.width() || view->height() < kMinimumPictureSize.height())
        view->resize(view->size().expandedTo(kMinimumPictureSize));
    // A chart never shown (the one drawn for the printed page) lays out its scene only when it
    // receives its pending size, which a grab delivers.
    if (view->testAttribute(Qt::WA_PendingResizeEvent) || !view->isVisible())
        view->grab();
    QPixmap picture(view->size() * kPictureScale);
    picture.setDevicePixelRatio(kPictureScale);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    // The scene as the view shows it, drawn afresh at the picture's resolution (not a scaled screen grab).
    view->render(&painter, QRectF(QPointF(0, 0), QSizeF(view->size())), view->viewport()->rect());
    return picture;
}

} // namespace

QChart* freshChart(QChartView* view) {
    QChart* old = view->chart();
    auto* chart = new QChart;
    view->setChart(chart); // the view owns the new chart; the old one is ours to delete
    delete old;
    return chart;
}

BarChart::BarChart(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setData(QString(), {});
}

void BarChart::setData(const QString& label, const std::vector<double>& values) {
    label_ = label;
    values_ = values;
    QChart* chart = freshChart(this);
    chart->legend()->hide();

    // The label names the bars in turn, its names set apart by runs of blanks. When it holds one
    // name per bar, each bar gets its own column with its name right beneath it; otherwise the bars
    // stand side by side over the whole label.
    const QStringList names = label.trimmed().split(QRegularExpression(QStringLiteral(" {2,}")));
    const bool namePerBar = values.size() > 1 && static_cast<std::size_t>(names.size()) == values.size();
    const qsizetype columns = namePerBar ? names.size() : 1;

    // Stacked, so that a column holding one bar draws it full width at the column's middle.
    QAbstractBarSeries* series = namePerBar ? static_cast<QAbstractBarSeries*>(new QStackedBarSeries)
                                            : static_cast<QAbstractBarSeries*>(new QBarSeries);
    for (std::size_t i = 0; i < values.size(); ++i) {
        auto* bar = new QBarSet(namePerBar ? names[static_cast<qsizetype>(i)] : QString::number(i + 1));
        bar->setLabelColor(QColor(0x20, 0x20, 0x20));
        if (i < barColours_.size())
            bar->setColor(barColours_[i]);
        for (qsizetype column = 0; column < columns; ++column)
            *bar << (!namePerBar || column == static_cast<qsizetype>(i) ? values[i] : 0.0);
        series->append(bar);
    }
    series->setBarWidth(0.6);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPrecision(4);
    chart->addSeries(series);

    auto* categories = new QBarCategoryAxis;
    if (namePerBar)
        for (const QString& name : names)
            categories->append(axisText(name));
    else
        categories->append(label.isEmpty() ? QStringLiteral("&nbsp;") : axisText(label));
    categories->setTruncateLabels(false);
    chart->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);

    // The scale is the screen design's: a share of track is at most 100 percent.
    auto* percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setTickCount(11);
    percent->setLabelFormat(QStringLiteral("%d"));
    percent->setTitleText(QCoreApplication::translate("Charts", "Track  Percentage"));
    chart->addAxis(percent, Qt::AlignLeft);
    series->attachAxis(percent);
}

QString BarChart::valueAxisTitle() const {
    const auto axes = chart()->axes(Qt::Vertical);
    return axes.isEmpty() ? QString() : axes.first()->titleText();
}

double BarChart::valueAxisMaximum() const {
    const auto axes = chart()->axes(Qt::Vertical);
    auto* axis = axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
    return axis != nullptr ? axis->max() : 0.0;
}

QPixmap BarChart::picture() {
    return grabChart(this);
}

constexpr qsizetype kMaxKmLabels = 25;

LineChart::LineChart(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    clear();
}

void LineChart::clear() {
    setData({}, {});
}

void LineChart::setData(const QStringList& categories, const std::vector<Series>& series) {
    categories_ = categories;
    series_ = series;
    QChart* chart = freshChart(this);
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignRight);

    // Each km labels its own point; the axis leaves half a column at either end so that the first
    // and last labels are not cut off.
    auto* kms = new QCategoryAxis;
    kms->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    kms->setStartValue(-0.5);
    // A label is a rich-text item for the chart, and laying out a hundred of them costs more than
    // the whole comparison: past 25 kilometres only every few km is labelled (every point is drawn).
    const qsizetype labelStep = (categories.size() + kMaxKmLabels - 1) / kMaxKmLabels;
    for (qsizetype i = 0; i < categories.size(); ++i) {
        if (labelStep <= 1 || i % labelStep == 0)
            kms->append(axisText(categories[i]), static_cast<double>(i));
    }
    kms->setRange(-0.5, std::max<double>(0.5, static_cast<double>(categories.size()) - 0.5));
    // Up to a hundred kilometres do not fit side by side: stand their labels on end.
    if (categories.size() > 20)
        kms->setLabelsAngle(-90);
    kms->setTruncateLabels(false);
    kms->setTitleText(QCoreApplication::translate("Charts", "Km"));
    chart->addAxis(kms, Qt::AlignBottom);

    auto* values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%g"));
    chart->addAxis(values, Qt::AlignLeft);

    const auto addLine = [&](const QString& name) {
        auto* line = new QLineSeries;
        line->setName(name);
        line->setPointsVisible(true);
        chart->addSeries(line);
        line->attachAxis(kms);
        line->attachAxis(values);
        return line;
    };
    // Each run's first line is added before any other line, so the runs take the chart's colours in
    // their order, whatever gaps they have.
    std::vector<QLineSeries*> runLines;
    for (const Series& run : series)
        runLines.push_back(addLine(run.name));

    double low = 0.0;
    double high = 0.0;
    bool any = false;
    for (std::size_t k = 0; k < series.size(); ++k) {
        const Series& run = series[k];
        // A gap breaks the line: joined over it, the line would show a value the run never had. The
        // line goes on after the gap as a line of its own in the run's colour, left out of the legend.
        QLineSeries* line = nullptr;
        bool runLineUsed = false;
        const qsizetype count =
            std::min<qsizetype>(categories.size(), static_cast<qsizetype>(run.values.size()));
        for (qsizetype i = 0; i < count; ++i) {
            const std::optional<double>& value = run.values[static_cast<std::size_t>(i)];
            if (!value) {
                line = nullptr;
                continue;
            }
            if (line == nullptr && !runLineUsed) {
                line = runLines[k];
                runLineUsed = true;
            } else if (line == nullptr) {
                line = addLine(run.name);
                line->setColor(runLines[k]->color());
                for (QLegendMarker* marker : chart->legend()->markers(line))
                    marker->setVisible(false);
            }
            line->append(static_cast<double>(i), *value);
            low = any ? std::min(low, *value) : *value;
            high = any ? std::max(high, *value) : *value;
            any = true;
        }
    }
    kms->setRange(-0.5, std::max<double>(0.5, static_cast<double>(categories.size()) - 0.5));
    if (!any) {
        low = 0.0;
        high = 100.0;
    }
    if (low == high)
        high = low + 1.0;
    values->setRange(std::min(0.0, low), high);
    values->applyNiceNumbers();
}

bool LineChart::legendShown() const {
    return chart()->legend()->isVisible();
}

QPixmap LineChart::picture() {
    return grabChart(this);
}

} // namespace kestrana::gui::widgets
