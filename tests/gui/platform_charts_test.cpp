// The chart widgets hold what the screens hand them, with the analyser's fixed axis, and their
// picture reaches the clipboard for the hard copies.
#include "gui/platform/charts.h"
#include "gui/platform/clipboard.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QClipboard>
#include <QGuiApplication>
#include <QLegend>
#include <QLineSeries>

#include <gtest/gtest.h>

namespace platform = kestrana::gui::platform;

namespace {

const QString kBandLabel = QStringLiteral("TGI <36     TGI 36-50     TGI 51-80     TGI > 80");

QBarSeries* onlyBarSeries(QChart* chart) {
    const auto series = chart->series();
    return series.size() == 1 ? qobject_cast<QBarSeries*>(series.first()) : nullptr;
}

} // namespace

TEST(PlatformBarChart, OneLabelBeneathFourBarsOnAPercentScale) {
    platform::BarChart chart;
    chart.setData(kBandLabel, {62.5, 25.0, 10.0, 2.5});

    QBarSeries* bars = onlyBarSeries(chart.chart());
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->count(), 4);
    const std::vector<double> expected{62.5, 25.0, 10.0, 2.5};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(bars->barSets()[i]->count(), 1);
        EXPECT_DOUBLE_EQ(bars->barSets()[i]->at(0), expected[static_cast<std::size_t>(i)]);
    }
    auto* categories = qobject_cast<QBarCategoryAxis*>(chart.chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(categories, nullptr);
    EXPECT_EQ(categories->categories(), QStringList{kBandLabel});
    EXPECT_EQ(chart.valueAxisTitle(), QStringLiteral("Track  Percentage"));
    EXPECT_DOUBLE_EQ(chart.valueAxisMaximum(), 100.0);
}

TEST(PlatformBarChart, NewDataReplacesTheOldBars) {
    platform::BarChart chart;
    chart.setData(kBandLabel, {10, 20, 30, 40});
    chart.setData(kBandLabel, {100, 0, 0, 0});
    QBarSeries* bars = onlyBarSeries(chart.chart());
    ASSERT_NE(bars, nullptr);
    EXPECT_DOUBLE_EQ(bars->barSets()[0]->at(0), 100.0);
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
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart.chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->categories(), kms);
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
