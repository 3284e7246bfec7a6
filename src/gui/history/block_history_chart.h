// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The history of one block as a chart: its recorded values over time (one colour per segment between
// maintenance), each segment's fitted line, a dashed upright line where maintenance was done, the
// threshold, and for a block that is crossing the forecast drawn from its last value down to the
// threshold, marked with the crossing date. The time axis reaches at most the horizon or ten years
// past the latest run (whichever is later); a crossing beyond that is only written in the title,
// which is the core's caption of the history.

#include <QChartView>
#include <QString>

#include <utility>

namespace kestrana::history {
struct BlockHistory;
}

namespace kestrana::gui::history {

class BlockHistoryChart : public QChartView {
    Q_OBJECT
public:
    explicit BlockHistoryChart(QWidget* parent = nullptr);

    void setHistory(const kestrana::history::BlockHistory& history, int horizonMonths);
    // Withdraws the history; the chart shows `note` as its title.
    void clear(const QString& note = QString());

    bool hasHistory() const { return hasHistory_; }
    QString caption() const;
    // What the chart holds, for tests: the recorded points, the fitted lines, the maintenance marks,
    // and whether the forecast line is drawn.
    int pointCount() const { return pointCount_; }
    int fittedLineCount() const { return fittedLineCount_; }
    int maintenanceMarkCount() const { return maintenanceMarkCount_; }
    bool forecastDrawn() const { return forecastDrawn_; }
    // The time axis' ends, in days since 1970-01-01.
    std::pair<qint64, qint64> timeAxisDays() const { return timeAxisDays_; }

private:
    bool hasHistory_ = false;
    int pointCount_ = 0;
    int fittedLineCount_ = 0;
    int maintenanceMarkCount_ = 0;
    bool forecastDrawn_ = false;
    std::pair<qint64, qint64> timeAxisDays_{0, 0};
};

} // namespace kestrana::gui::history
