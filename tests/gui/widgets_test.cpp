// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The widgets the screens share: the analyser's bar chart with each band name beneath
// its own bar, the comparator's line chart broken where a run has no value, the list box with core
// texts unchanged and the top entry the coupled columns set, every screen fitting a display of
// 800 x 600, and every window titled in the one form.
#include "gui/app/navigator.h"
#include "gui/services/help.h"
#include "gui/services/resolution_switch.h"
#include "gui/widgets/charts.h"
#include "gui/widgets/list_box.h"
#include "gui/widgets/screen_setup.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QGuiApplication>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScreen>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

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

std::vector<std::string> numbered(int count) {
    std::vector<std::string> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(std::to_string(i));
    return entries;
}

std::unique_ptr<widgets::ListBox> shownBox(int rows) {
    auto box = std::make_unique<widgets::ListBox>();
    box->resize(200, box->heightForRows(rows));
    box->show();
    return box;
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

// A chart on screen that is given new data looks exactly like a chart drawn with that data alone:
// nothing of the earlier data (such as the tick labels of its value axis) is left standing.
TEST(LineChart, NewDataLeavesNothingOfTheEarlierDataOnScreen) {
    const QStringList kms{QStringLiteral("130"), QStringLiteral("131"), QStringLiteral("132")};
    const std::vector<widgets::LineChart::Series> earlier{{QStringLiteral("150324"), {40, 180, 95}}};
    const std::vector<widgets::LineChart::Series> later{{QStringLiteral("140921"), {12, 31, 7}}};
    widgets::LineChart redrawn;
    redrawn.resize(600, 400);
    redrawn.show();
    QCoreApplication::processEvents();
    redrawn.setData(kms, earlier);
    QCoreApplication::processEvents();
    redrawn.setData(kms, later);
    QCoreApplication::processEvents();

    widgets::LineChart drawnOnce;
    drawnOnce.resize(600, 400);
    drawnOnce.setData(kms, later);
    drawnOnce.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(redrawn.grab().toImage() == drawnOnce.grab().toImage());
}

// A run without a value at a km has no point there: its line breaks over the gap and goes on in the
// same colour after it, named once in the legend; an isolated value is a point of its own.
TEST(LineChart, AMissingValueLeavesAGapInItsRunsLineAndNoPoint) {
    const QStringList kms{QStringLiteral(" 130"), QStringLiteral(" 131"), QStringLiteral(" 132"),
                          QStringLiteral(" 133"), QStringLiteral(" 134")};
    widgets::LineChart chart;
    chart.setData(kms, {{QStringLiteral("150324"), {79.5, std::nullopt, 70, 71, std::nullopt}},
                        {QStringLiteral("140921"), {std::nullopt, 60, std::nullopt, 62, 63}},
                        {QStringLiteral("130920"),
                         {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}}});
    // The legend lays its markers out once the chart is shown.
    chart.resize(600, 400);
    chart.show();
    QCoreApplication::processEvents();
    // Every line drawn as "run, whether the legend names it: its points", and the colours of each run.
    std::vector<std::string> drawn;
    std::map<QString, std::set<QRgb>> colours;
    for (QAbstractSeries* series : chart.chart()->series()) {
        auto* line = qobject_cast<QLineSeries*>(series);
        ASSERT_NE(line, nullptr);
        const bool named = chart.chart()->legend()->markers(line).value(0)->isVisible();
        std::string text = line->name().toStdString() + (named ? " named:" : ":");
        for (const QPointF& point : line->points())
            text += " " + QString::number(point.x()).toStdString() + "=" +
                    QString::number(point.y()).toStdString();
        drawn.push_back(text);
        colours[line->name()].insert(line->color().rgb());
    }
    std::sort(drawn.begin(), drawn.end());
    EXPECT_EQ(drawn, (std::vector<std::string>{"130920 named:", "140921 named: 1=60", "140921: 3=62 4=63",
                                               "150324 named: 0=79.5", "150324: 2=70 3=71"}));
    for (const auto& [name, used] : colours)
        EXPECT_EQ(used.size(), 1u) << name.toStdString();
    EXPECT_NE(colours[QStringLiteral("150324")], colours[QStringLiteral("140921")]);
}

TEST(ListBox, CoreTextsAreEntriesOneCharacterPerByte) {
    widgets::ListBox box;
    box.setEntries(std::vector<std::string>{"0101  \xB0", "", "end"});
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.entry(0), QStringLiteral("0101  \u00B0"));
    EXPECT_EQ(box.entries(), (QStringList{QStringLiteral("0101  \u00B0"), QString(), QStringLiteral("end")}));
    box.clear();
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.topIndex(), 0);
}

TEST(ListBox, TheTopEntryIsSetAsFarAsTheBoxScrollsAndKeptForNewEntries) {
    auto box = shownBox(5);
    box->setEntries(numbered(100));
    QSignalSpy scrolled(box.get(), &widgets::ListBox::scrolled);
    box->setTopIndex(40);
    EXPECT_EQ(box->topIndex(), 40);
    EXPECT_EQ(scrolled.count(), 1);
    // Past the end the last entry stays in view, at the bottom.
    box->setTopIndex(1000);
    const int last = box->topIndex();
    EXPECT_LT(last, 99);
    EXPECT_TRUE(box->viewport()->rect().intersects(box->visualRect(box->model()->index(99, 0))));
    // A new listing starts where the box stood, and at the top once the screen asks for it.
    box->setTopIndex(40);
    box->setEntries(numbered(60));
    EXPECT_EQ(box->topIndex(), 40);
    box->scrollToTop();
    EXPECT_EQ(box->topIndex(), 0);
}

TEST(ScreenSetup, EveryScreenFitsAnEightHundredBySixHundredDisplay) {
    using kestrana::gui::app::Navigator;
    using kestrana::gui::app::Screen;
    kestrana::gui::services::ResolutionSwitch::fakeDisplay({800, 600}, false);
    const QRect display = QGuiApplication::primaryScreen()->availableGeometry();
    for (const Screen kind : {Screen::MainMenu, Screen::Analyser, Screen::Comparator, Screen::PeakAnalyser}) {
        QWidget* screen = Navigator::show(kind);
        ASSERT_NE(screen, nullptr);
        const std::string name = screen->objectName().toStdString();
        EXPECT_TRUE(display.contains(QRect(screen->pos(), screen->size())))
            << name << " at " << screen->x() << "," << screen->y() << " " << screen->width() << "x"
            << screen->height() << " in " << display.x() << "," << display.y() << " " << display.width()
            << "x" << display.height();
        // Whatever the display, the window may be made as small as 800 x 600: its page scrolls.
        EXPECT_LE(screen->minimumSizeHint().width(), 800) << name;
        EXPECT_LE(screen->minimumSizeHint().height(), 600) << name;
        Navigator::closeAll();
    }
    // Centred where there is room, cut to the display and held at its corner where there is not.
    EXPECT_EQ(widgets::placedInside({880, 620}, QRect(0, 0, 1024, 768)), QRect(72, 74, 880, 620));
    EXPECT_EQ(widgets::placedInside({880, 620}, QRect(0, 20, 800, 580)), QRect(0, 20, 800, 580));
}

// Every window names the program and then itself, in one form: "Kestrana — NAME".
TEST(ScreenSetup, EveryWindowIsTitledWithTheProgramAndItsOwnName) {
    using kestrana::gui::app::Navigator;
    using kestrana::gui::app::Screen;
    kestrana::gui::services::ResolutionSwitch::fakeDisplay({1024, 768}, false);
    const std::vector<std::pair<Screen, QString>> titles{
        {Screen::MainMenu, QStringLiteral("Kestrana \u2014 Main Menu")},
        {Screen::Analyser, QStringLiteral("Kestrana \u2014 Index Analyser")},
        {Screen::Comparator, QStringLiteral("Kestrana \u2014 TGI Comparator")},
        {Screen::PeakAnalyser, QStringLiteral("Kestrana \u2014 Peak Analyzer")},
        {Screen::TrackHistory, QStringLiteral("Kestrana \u2014 Track History")}};
    for (const auto& [kind, title] : titles) {
        QWidget* screen = Navigator::show(kind);
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->windowTitle(), title) << screen->objectName().toStdString();
    }
    kestrana::gui::services::showHelp();
    ASSERT_NE(kestrana::gui::services::helpWindow(), nullptr);
    EXPECT_EQ(kestrana::gui::services::helpWindow()->windowTitle(), QStringLiteral("Kestrana \u2014 Help"));
    Navigator::closeAll();
}
