// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The Defects page of the track history screen: the limits and tolerance defects are matched with
// (read at SHOW, as the screen's other settings), the defects of the range shown in a sortable table
// with filters by status and parameter and a good-track filter, the history of the defect chosen as a
// chart, and the list saved as CSV or printed. The filters only choose rows of the defects matched, so
// they apply at once; the limits and tolerance withdraw the results, as every other setting does.

#include "core/defects/defects_page.h"
#include "core/defects/library_defects.h"

#include <QChartView>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kestrana::gui::services {
class FileDialog;
}

namespace kestrana::gui::history {

// A defect's history: the absolute value of each exceedance over the run dates, the covering runs
// without one as hollow marks on the axis, the limit, and the growth line.
class DefectHistoryChart : public QChartView {
    Q_OBJECT
public:
    explicit DefectHistoryChart(QWidget* parent = nullptr);
    void setHistory(const kestrana::defects::DefectHistory& history);
    void clear(const QString& note = QString());
    // For tests: the exceedances, the covering runs without one, whether the growth line is drawn.
    int exceedanceCount() const { return exceedances_; }
    int clearRunCount() const { return clearRuns_; }
    bool growthDrawn() const { return growthDrawn_; }

private:
    int exceedances_ = 0;
    int clearRuns_ = 0;
    bool growthDrawn_ = false;
};

class DefectsPage : public QWidget {
    Q_OBJECT
public:
    explicit DefectsPage(services::FileDialog& fileDialog, QWidget* parent = nullptr);

    // The limits and tolerance as typed; throws common::Error with the setting's message (and focuses
    // the box at fault).
    kestrana::defects::TrackingSettings trackingSettings();
    // The defects of a SHOW, with the library ids of the series' runs in run order.
    void setResults(std::shared_ptr<const kestrana::defects::TrackedDefects> tracked,
                    const kestrana::defects::DefectsHeading& heading);
    void withdraw(const QString& note);

    void applyFilters();
    void openDefect(int row);
    void exportList();
    void printList();

    const std::vector<std::uint32_t>& listed() const { return listed_; }
    kestrana::defects::DefectFilter filter() const;

    QLineEdit* limitsBox = nullptr;    // "UN2L=12 GAUGE=8": limits other than the defaults
    QLineEdit* toleranceBox = nullptr; // metres
    QComboBox* statusChoice = nullptr;
    QComboBox* parameterChoice = nullptr;
    QCheckBox* goodTrackCheck = nullptr;
    QLineEdit* goodTrackBox = nullptr;
    QLabel* summaryLabel = nullptr;
    QTableWidget* defectTable = nullptr;
    DefectHistoryChart* historyChart = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* printButton = nullptr;

signals:
    // A limit or the tolerance was edited: what is shown no longer holds.
    void trackingSettingsEdited();

private:
    services::FileDialog& fileDialog_;
    std::shared_ptr<const kestrana::defects::TrackedDefects> tracked_;
    kestrana::defects::DefectsHeading heading_;
    std::vector<std::uint32_t> listed_;
};

} // namespace kestrana::gui::history
