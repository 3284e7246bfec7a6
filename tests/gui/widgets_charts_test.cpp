// The chart widgets hold what the screens hand them, with the analyser's fixed axis, and their
// picture reaches the clipboard for the hard copies.
#include "gui/services/chart_clipboard.h"
#include "gui/widgets/charts.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineSeries>

#include <gtest/gtest.h>

namespace services = kestrana::gui::services;
namespace widgets = kestrana::gui::widgets;

namespace {

const QString kBandLabel = QStringLiteral("TGI <36     TGI 36-50     TGI 51-80     TGI > 80");

QStringList bottomCategories(QChart* chart) {
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
    return axis != nullptr ? axis->categories() : QStringList{QStringLiteral("no category axis")};
}

// Every bar set's values, column by column.
std::vector<std::vector<double>> barSets(QChart* chart) {
    std::vector<std::vector<double>> sets;
    auto* bars =
        chart->series().size() == 1 ? qobject_cast<QAbstractBarSeries*>(chart->series()[0]) : nullptr;
    for (QBarSet* set : bars != nullptr ? bars->barSets() : QList<QBarSet*>{}) {
        sets.emplace_back();
        for (int column = 0; column < set->count(); ++column)
            sets.back().push_back(set->at(column));
    }
    return sets;
}

} // namespace

TEST(BarChart, EachBandNameOfTheLabelStandsBeneathItsOwnBarOnAPercentScale) {
    widgets::BarChart chart;
    chart.setData(kBandLabel, {10, 20, 30, 40});
    chart.setData(kBandLabel, {62.5, 25.0, 10.0, 2.5}); // new data replaces the old bars and axes
    // One column per band, the escaped names beneath them (a "<" must not pass for a tag); bar set k
    // carries only the k-th value, so each band keeps its own colour.
    EXPECT_EQ(bottomCategories(chart.chart()),
              (QStringList{"TGI&nbsp;&lt;36", "TGI&nbsp;36-50", "TGI&nbsp;51-80", "TGI&nbsp;&gt;&nbsp;80"}));
    EXPECT_EQ(barSets(chart.chart()),
              (std::vector<std::vector<double>>{
                  {62.5, 0, 0, 0}, {0, 25.0, 0, 0}, {0, 0, 10.0, 0}, {0, 0, 0, 2.5}}));
    EXPECT_EQ(chart.chart()->axes().size(), 2);
    EXPECT_EQ(chart.valueAxisTitle(), QStringLiteral("Track  Percentage"));
    EXPECT_DOUBLE_EQ(chart.valueAxisMaximum(), 100.0);

    // A label without one name per bar is written whole beneath all bars, which stand side by side.
    chart.setData(QStringLiteral("TGI <36  36-50"), {10, 20, 30, 40});
    EXPECT_EQ(bottomCategories(chart.chart()), QStringList{"TGI&nbsp;&lt;36&nbsp;&nbsp;36-50"});
    EXPECT_EQ(barSets(chart.chart()), (std::vector<std::vector<double>>{{10}, {20}, {30}, {40}}));
    EXPECT_EQ(chart.chart()->series().value(0)->type(), QAbstractSeries::SeriesTypeBar);
}

TEST(LineChart, OneLinePerRunNamedByItsDateOverTheKmCategories) {
    widgets::LineChart chart;
    chart.setData({" 120", " 121", " 122"}, {{QStringLiteral("120326"), {42.0, 42.4, 41.666666666666664}},
                                             {QStringLiteral("150126"), {40.0, 44.0}}});
    const auto series = chart.chart()->series();
    ASSERT_EQ(series.size(), 2);
    auto* current = qobject_cast<QLineSeries*>(series[0]);
    auto* older = qobject_cast<QLineSeries*>(series[1]);
    ASSERT_TRUE(current != nullptr && older != nullptr);
    EXPECT_EQ(current->name(), QStringLiteral("120326"));
    EXPECT_EQ(older->name(), QStringLiteral("150126"));
    ASSERT_EQ(current->count(), 3);
    EXPECT_EQ(current->at(2), QPointF(2.0, 41.666666666666664)); // the third category
    EXPECT_EQ(older->count(), 2);                                // a short series leaves its last points out
    auto* axis = qobject_cast<QCategoryAxis*>(chart.chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(axis, nullptr);
    EXPECT_EQ(axis->categoriesLabels(), (QStringList{"&nbsp;120", "&nbsp;121", "&nbsp;122"}));
    EXPECT_TRUE(chart.legendShown());
    chart.clear();
    EXPECT_TRUE(chart.chart()->series().isEmpty());
}

TEST(ChartClipboard, CopiesTheChartAsLaidOutOrAtAReadableSizeWhenNeverShown) {
    EXPECT_TRUE(services::ChartClipboard::picture().isNull());
    widgets::BarChart hidden; // never shown, as the analyser's chart after SHOW DETAILS
    hidden.setData(kBandLabel, {50, 30, 15, 5});
    const QPixmap copied = services::ChartClipboard::copyPicture(&hidden);
    EXPECT_GE(copied.width(), 480);
    EXPECT_GE(copied.height(), 320);
    EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());

    widgets::LineChart laidOut;
    laidOut.resize(700, 420);
    laidOut.setData({QStringLiteral(" 1")}, {{QStringLiteral("010101"), {5.0}}});
    services::ChartClipboard::copyPicture(&laidOut);
    EXPECT_EQ(services::ChartClipboard::picture().deviceIndependentSize().toSize(), QSize(700, 420));
}
