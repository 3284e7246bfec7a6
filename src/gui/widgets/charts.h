// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The two charts of the working screens, drawn with Qt Charts, each a widget a screen embeds:
//   - BarChart, the analyser's quality distribution: one label written beneath the bars and one bar
//     per value (the four band shares in percent), value axis "Track  Percentage" from 0 to 100;
//   - LineChart, the comparator's kilometre averages: one category per result row, labelled by its
//     km text, one line per run named by its run date, with the legend shown. A run without a value
//     at a category has no point there and its line is broken over the gap.
// picture() is the chart as it stands, for "copy the chart picture" (see gui/services/chart_clipboard.h).

#include <QChartView>
#include <QColor>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kestrana::gui::widgets {

// Puts a new, empty chart into `view` and deletes the one it showed. Every new set of data gets a
// chart of its own: axes removed from a chart on screen leave their old tick labels drawn beside the
// new axes' labels, so a chart redrawn in place would show figures of the data before.
QChart* freshChart(QChartView* view);

class BarChart : public QChartView {
    Q_OBJECT
public:
    explicit BarChart(QWidget* parent = nullptr);

    // The chart's data: the label beneath the bars, then the bar values in order.
    void setData(const QString& label, const std::vector<double>& values);
    // The bars take these colours in order (from the next setData on); bars past the list keep the
    // chart theme's colours.
    void setBarColours(std::vector<QColor> colours) { barColours_ = std::move(colours); }

    QString label() const { return label_; }
    const std::vector<double>& values() const { return values_; }
    QString valueAxisTitle() const;
    double valueAxisMaximum() const;
    QPixmap picture();

private:
    QString label_;
    std::vector<double> values_;
    std::vector<QColor> barColours_;
};

class LineChart : public QChartView {
    Q_OBJECT
public:
    struct Series {
        QString name; // the run date
        // One per category, in category order; none where the run has no value (no point is drawn).
        std::vector<std::optional<double>> values;
    };

    explicit LineChart(QWidget* parent = nullptr);

    // The chart's data: the categories along the bottom (km texts, in result order) and one series per
    // run. A series shorter than the categories leaves its last points out.
    void setData(const QStringList& categories, const std::vector<Series>& series);
    void clear();

    const QStringList& categories() const { return categories_; }
    const std::vector<Series>& series() const { return series_; }
    bool legendShown() const;
    QPixmap picture();

private:
    QStringList categories_;
    std::vector<Series> series_;
};

} // namespace kestrana::gui::widgets
