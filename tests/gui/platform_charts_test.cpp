// The chart widgets hold what the screens hand them, with the analyser's fixed axis, and their
// picture reaches the clipboard for the hard copies.
#include "gui/platform/charts.h"
#include "gui/platform/clipboard.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QClipboard>
#include <QGuiApplication>
#include <QLegend>
#include <QLineSeries>

#include <gtest/gtest.h>

namespace platform = kestrana::gui::platform;

namespace {

const QString kBandLabel = QStringLiteral("TGI <36     TGI 36-50     TGI 51-80     TGI > 80");

QAbstractBarSeries* onlyBarSeries(QChart* chart) {
    const auto series = chart->series();
    return series.size() == 1 ? qobject_cast<QAbstractBarSeries*>(series.first()) : nullptr;
}

QStringList bottomCategories(QChart* chart) {
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
    return axis != nullptr ? axis->categories() : QStringList{QStringLiteral("no category axis")};
}

// The height of each bar as drawn: in every column, the sum over the bar sets.
std::vector<double> barHeights(QAbstractBarSeries* bars) {
    std::vector<double> heights;
    for (QBarSet* set : bars->barSets())
        for (int column = 0; column < set->count(); ++column) {
            if (heights.size() <= static_cast<std::size_t>(column))
                heights.resize(static_cast<std::size_t>(column) + 1, 0.0);
            heights[static_cast<std::size_t>(column)] += set->at(column);
        }
    return heights;
}

} // namespace

TEST(PlatformBarChart, TheBandNamesOfTheLabelStandBeneathTheirBarsOnAPercentScale) {
    platform::BarChart chart;
    chart.setData(kBandLabel, {62.5, 25.0, 10.0, 2.5});

    QAbstractBarSeries* bars = onlyBarSeries(chart.chart());
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->count(), 4);
    // One column per band, the escaped names beneath them (a "<" must not pass for a tag).
    EXPECT_EQ(bottomCategories(chart.chart()),
              (QStringList{QStringLiteral("TGI&nbsp;&lt;36"), QStringLiteral("TGI&nbsp;36-50"),
                           QStringLiteral("TGI&nbsp;51-80"), QStringLiteral("TGI&nbsp;&gt;&nbsp;80")}));
    EXPECT_EQ(barHeights(bars), (std::vector<double>{62.5, 25.0, 10.0, 2.5}));
    // Each band keeps its own colour: bar set k carries only the k-th value.
    EXPECT_DOUBLE_EQ(bars->barSets()[1]->at(1), 25.0);
    EXPECT_DOUBLE_EQ(bars->barSets()[1]->at(0), 0.0);
    EXPECT_EQ(chart.label(), kBandLabel);
    EXPECT_EQ(chart.valueAxisTitle(), QStringLiteral("Track  Percentage"));
    EXPECT_DOUBLE_EQ(chart.valueAxisMaximum(), 100.0);
}

TEST(PlatformBarChart, ALabelWithoutOneNamePerBarIsWrittenWholeBeneathAllBars) {
    platform::BarChart chart;
    chart.setData(QStringLiteral("TGI <36  36-50"), {10, 20, 30, 40});
    QAbstractBarSeries* bars = onlyBarSeries(chart.chart());
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bottomCategories(chart.chart()),
              QStringList{QStringLiteral("TGI&nbsp;&lt;36&nbsp;&nbsp;36-50")});
    ASSERT_EQ(bars->count(), 4); // side by side in the one column
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(bars->barSets()[i]->count(), 1);
        EXPECT_DOUBLE_EQ(bars->barSets()[i]->at(0), 10.0 * (i + 1));
    }
    EXPECT_EQ(bars->type(), QAbstractSeries::SeriesTypeBar);
}

TEST(PlatformBarChart, NewDataReplacesTheOldBars) {
    platform::BarChart chart;
    chart.setData(kBandLabel, {10, 20, 30, 40});
    chart.setData(kBandLabel, {100, 0, 0, 0});
    QAbstractBarSeries* bars = onlyBarSeries(chart.chart());
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(barHeights(bars), (std::vector<double>{100, 0, 0, 0}));
    EXPECT_EQ(chart.chart()->axes().size(), 2);
    EXPECT_EQ(chart.values(), (std::vector<double>{100, 0, 0, 0}));
}

TEST(PlatformLineChart, OneLinePerRunNamedByItsDateOverTheKmCategories) {
    platform::LineChart chart;
    const QStringList kms{QStringLiteral(" 120"), QStringLiteral(" 121"), QStringLiteral(" 122")};
    chart.setData(kms, {{QStringLiteral("120326"), {42.0, 42.4, 41.666666666666664}},
                        {QStringLiteral("150126"), {40.0, 44.0}}});

    const auto series = chart.chart()->series();
    ASSERT_EQ(series.size(), 2);
    auto* current = qobject_cast<QLineSeries*>(series[0]);
    auto* older = qobject_cast<QLineSeries*>(series[1]);
    ASSERT_NE(current, nullptr);
    ASSERT_NE(older, nullptr);
    EXPECT_EQ(current->name(), QStringLiteral("120326"));
    EXPECT_EQ(older->name(), QStringLiteral("150126"));
    ASSERT_EQ(current->count(), 3);
    EXPECT_DOUBLE_EQ(current->at(2).y(), 41.666666666666664);
    EXPECT_DOUBLE_EQ(current->at(2).x(), 2.0); // the third category
    EXPECT_EQ(older->count(), 2);              // a short series leaves its last points out
    auto* axis = qobject_cast<QCategoryAxis*>(chart.chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->categoriesLabels(), (QStringList{QStringLiteral("&nbsp;120"), QStringLiteral("&nbsp;121"),
                                                     QStringLiteral("&nbsp;122")}));
    EXPECT_EQ(chart.categories(), kms);
    EXPECT_TRUE(chart.legendShown());

    chart.clear();
    EXPECT_TRUE(chart.chart()->series().isEmpty());
    EXPECT_TRUE(chart.categories().isEmpty());
}

TEST(PlatformChartClipboard, CopiesTheChartPictureEvenFromAHiddenChart) {
    platform::BarChart chart; // never shown, as the analyser's chart after SHOW DETAILS
    chart.setData(kBandLabel, {50, 30, 15, 5});
    EXPECT_TRUE(platform::ChartClipboard::picture().isNull());

    const QPixmap copied = platform::ChartClipboard::copyPicture(&chart);
    ASSERT_FALSE(copied.isNull());
    EXPECT_GE(copied.width(), 480);
    EXPECT_GE(copied.height(), 320);
    EXPECT_EQ(platform::ChartClipboard::picture().size(), copied.size());
    EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());
}

TEST(PlatformChartClipboard, PictureHasTheChartsSizeWhenLaidOut) {
    platform::LineChart chart;
    chart.resize(700, 420);
    chart.setData({QStringLiteral(" 1")}, {{QStringLiteral("010101"), {5.0}}});
    const QPixmap copied = platform::ChartClipboard::copyPicture(&chart);
    EXPECT_EQ(copied.deviceIndependentSize().toSize(), QSize(700, 420));
}
