#include "gui/platform/charts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLegend>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace kestrana::gui::platform {

namespace {

// The smallest size at which a chart still reads well; a chart that was never laid out (a hidden
// screen part) is grabbed at this size.
constexpr QSize kMinimumPictureSize{480, 320};

void removeEverything(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

QPixmap grabChart(QChartView* view) {
    if (view->width() < kMinimumPictureSize.width() || view->height() < kMinimumPictureSize.height())
        view->resize(view->size().expandedTo(kMinimumPictureSize));
    return view->grab();
}

} // namespace

BarChart::BarChart(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    chart()->legend()->hide();
    setData(QString(), {});
}

void BarChart::setData(const QString& label, const std::vector<double>& values) {
    label_ = label;
    values_ = values;
    QChart* chart = this->chart();
    removeEverything(chart);

    auto* series = new QBarSeries;
    for (std::size_t i = 0; i < values.size(); ++i) {
        auto* bar = new QBarSet(QString::number(i + 1));
        *bar << values[i];
        series->append(bar);
    }
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPrecision(4);
    chart->addSeries(series);

    auto* categories = new QBarCategoryAxis;
    categories->append(label.isEmpty() ? QStringLiteral(" ") : label);
    chart->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);

    // The scale is the screen design's: a share of track is at most 100 percent.
    auto* percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setTickCount(11);
    percent->setLabelFormat(QStringLiteral("%d"));
    percent->setTitleText(QStringLiteral("Track  Percentage"));
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
    QChart* chart = this->chart();
    removeEverything(chart);
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignRight);

    auto* kms = new QBarCategoryAxis;
    kms->append(categories);
    // Up to a hundred kilometres do not fit side by side: stand their labels on end.
    if (categories.size() > 20)
        kms->setLabelsAngle(-90);
    chart->addAxis(kms, Qt::AlignBottom);

    auto* values = new QValueAxis;
    chart->addAxis(values, Qt::AlignLeft);

    double low = 0.0;
    double high = 0.0;
    bool any = false;
    for (const Series& run : series) {
        auto* line = new QLineSeries;
        line->setName(run.name);
        line->setPointsVisible(true);
        const qsizetype count =
            std::min<qsizetype>(categories.size(), static_cast<qsizetype>(run.values.size()));
        for (qsizetype i = 0; i < count; ++i) {
            const double value = run.values[static_cast<std::size_t>(i)];
            line->append(static_cast<double>(i), value);
            low = any ? std::min(low, value) : value;
            high = any ? std::max(high, value) : value;
            any = true;
        }
        chart->addSeries(line);
        line->attachAxis(kms);
        line->attachAxis(values);
    }
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

} // namespace kestrana::gui::platform
