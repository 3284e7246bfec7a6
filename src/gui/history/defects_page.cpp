// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/history/defects_page.h"

#include "core/defects/defect_settings.h"
#include "core/history/history_csv.h"
#include "core/history/history_screen_texts.h"
#include "gui/services/file_dialog.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/message_box.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/qt_text.h"

#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace kestrana::gui::history {

namespace {

namespace core = kestrana::defects;
using widgets::fromCore;
using widgets::fromPath;
using widgets::toCore;
using widgets::toPath;

constexpr qint64 kMsPerDay = 86'400'000;
constexpr int kMarginDays = 30;

qreal chartX(double day) {
    return day * static_cast<qreal>(kMsPerDay);
}

// A table cell that sorts by its number where it has one, by its text otherwise.
class DefectItem : public QTableWidgetItem {
public:
    explicit DefectItem(const core::DefectCell& cell)
        : QTableWidgetItem(fromCore(cell.text)), number_(cell.number) {
        setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        if (number_)
            setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const auto* that = dynamic_cast<const DefectItem*>(&other);
        if (that == nullptr || number_.has_value() != that->number_.has_value())
            return number_.has_value() && that != nullptr; // empty cells last
        if (number_)
            return *number_ < *that->number_;
        return text() < other.text();
    }

private:
    std::optional<double> number_;
};

} // namespace

DefectHistoryChart::DefectHistoryChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("defectHistoryChart"));
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(180);
    clear();
}

void DefectHistoryChart::clear(const QString& note) {
    auto* chart = new QChart;
    chart->setTitle(note);
    chart->legend()->hide();
    setChart(chart);
    exceedances_ = 0;
    clearRuns_ = 0;
    growthDrawn_ = false;
}

void DefectHistoryChart::setHistory(const core::DefectHistory& history) {
    auto* chart = new QChart;
    chart->setTitle(fromCore(history.title + ", " + history.growthText));
    auto* x = new QDateTimeAxis;
    auto* y = new QValueAxis;
    x->setFormat(QStringLiteral("yyyy-MM-dd"));
    x->setTitleText(tr("Run date"));
    x->setTickCount(5);
    y->setTitleText(tr("Absolute value"));
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    const double first = history.points.empty() ? 0 : history.points.front().day;
    const double last = history.points.empty() ? 1 : history.points.back().day;
    double high = history.limit;
    auto* exceeded = new QScatterSeries;
    exceeded->setName(tr("Exceedance"));
    exceeded->setColor(QColor(0xc6, 0x28, 0x28));
    exceeded->setMarkerSize(10);
    auto* clearRuns = new QScatterSeries;
    clearRuns->setName(tr("Covered, not exceeded"));
    clearRuns->setColor(Qt::white);
    clearRuns->setBorderColor(QColor(0x42, 0x42, 0x42));
    clearRuns->setMarkerSize(10);
    exceedances_ = 0;
    clearRuns_ = 0;
    for (const core::DefectHistoryPoint& point : history.points) {
        if (point.value) {
            exceeded->append(chartX(point.day), *point.value);
            high = std::max<double>(high, *point.value);
            ++exceedances_;
        } else {
            clearRuns->append(chartX(point.day), 0);
            ++clearRuns_;
        }
    }
    auto* limit = new QLineSeries;
    limit->setName(tr("Limit"));
    limit->setPen(QPen(QColor(0xef, 0x6c, 0x00), 2, Qt::DashLine));
    limit->append(chartX(first - kMarginDays), history.limit);
    limit->append(chartX(last + kMarginDays), history.limit);
    std::vector<QAbstractSeries*> series{limit, exceeded, clearRuns};
    growthDrawn_ = false;
    if (history.growth) {
        auto* growth = new QLineSeries;
        growth->setName(tr("Growth"));
        growth->setPen(QPen(QColor(0x15, 0x65, 0xc0), 2));
        growth->append(chartX(first), history.growth->valueAt(first));
        growth->append(chartX(last), history.growth->valueAt(last));
        high = std::max({high, history.growth->valueAt(first), history.growth->valueAt(last)});
        series.push_back(growth);
        growthDrawn_ = true;
    }
    for (QAbstractSeries* one : series) {
        chart->addSeries(one);
        one->attachAxis(x);
        one->attachAxis(y);
    }
    x->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(chartX(first - kMarginDays)), Qt::UTC),
                QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(chartX(last + kMarginDays)), Qt::UTC));
    y->setRange(0, high * 1.15 + 1);
    y->applyNiceNumbers();
    chart->legend()->setAlignment(Qt::AlignRight);
    setChart(chart);
}

DefectsPage::DefectsPage(services::FileDialog& fileDialog, QWidget* parent)
    : QWidget(parent), fileDialog_(fileDialog) {
    setObjectName(QStringLiteral("defectsPage"));
    limitsBox = widgets::makeTextBox(this, QStringLiteral("limitsBox"));
    limitsBox->setPlaceholderText(tr("defaults, or e.g. UN2L=12 GAUGE=8"));
    limitsBox->setAccessibleName(tr("Limits"));
    toleranceBox =
        widgets::makeTextBox(this, QStringLiteral("toleranceBox"), QString::number(core::kDefaultTolerance));
    toleranceBox->setAccessibleName(tr("Tolerance in metres"));
    toleranceBox->setMaximumWidth(60);
    QStringList statuses{fromCore(core::kAllStatuses)};
    for (const auto status : {core::DefectStatus::Repeat, core::DefectStatus::New,
                              core::DefectStatus::Recurring, core::DefectStatus::Gone})
        statuses << fromCore(core::statusName(status));
    statusChoice = widgets::makeChoiceBox(this, QStringLiteral("statusChoice"), statuses);
    QStringList parameters{fromCore(core::kAllParameters)};
    for (std::int16_t code = 0; code < 14; ++code)
        if (core::parameterName(code) != std::to_string(code))
            parameters << fromCore(core::parameterName(code));
    parameterChoice = widgets::makeChoiceBox(this, QStringLiteral("parameterChoice"), parameters);
    goodTrackCheck = new QCheckBox(tr("Good track only (TGI at least)"), this);
    goodTrackCheck->setObjectName(QStringLiteral("goodTrackCheck"));
    goodTrackBox =
        widgets::makeTextBox(this, QStringLiteral("goodTrackBox"), QString::number(core::kGoodTrackTgi));
    goodTrackBox->setAccessibleName(tr("Good track TGI"));
    goodTrackBox->setMaximumWidth(50);
    summaryLabel = widgets::makeLabel(this, QStringLiteral("defectsSummaryLabel"));
    exportButton = widgets::makeButton(this, QStringLiteral("defectsExportButton"), tr("E&xport CSV..."));
    printButton = widgets::makeButton(this, QStringLiteral("defectsPrintButton"), tr("P&rint"));
    defectTable = new QTableWidget(0, static_cast<int>(core::kDefectColumns.size()), this);
    defectTable->setObjectName(QStringLiteral("defectTable"));
    defectTable->setAccessibleName(tr("Defects of the range"));
    QStringList headings;
    for (const std::string_view heading : core::kDefectColumns)
        headings << fromCore(heading);
    defectTable->setHorizontalHeaderLabels(headings);
    defectTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    defectTable->setSelectionMode(QAbstractItemView::SingleSelection);
    defectTable->verticalHeader()->hide();
    defectTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    defectTable->setSortingEnabled(true);
    historyChart = new DefectHistoryChart(this);

    auto* settingsRow = new QHBoxLayout;
    settingsRow->addWidget(new QLabel(tr("Limits:"), this));
    settingsRow->addWidget(limitsBox, 2);
    settingsRow->addWidget(new QLabel(tr("Tolerance (m):"), this));
    settingsRow->addWidget(toleranceBox);
    settingsRow->addWidget(statusChoice);
    settingsRow->addWidget(parameterChoice);
    settingsRow->addWidget(goodTrackCheck);
    settingsRow->addWidget(goodTrackBox);
    auto* resultRow = new QHBoxLayout;
    resultRow->addWidget(summaryLabel, 1);
    resultRow->addWidget(exportButton);
    resultRow->addWidget(printButton);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(defectTable);
    split->addWidget(historyChart);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    column->addLayout(settingsRow);
    column->addLayout(resultRow);
    column->addWidget(split, 1);

    for (QLineEdit* box : {limitsBox, toleranceBox})
        connect(box, &QLineEdit::textEdited, this, &DefectsPage::trackingSettingsEdited);
    for (QComboBox* choice : {statusChoice, parameterChoice})
        connect(choice, &QComboBox::currentIndexChanged, this, &DefectsPage::applyFilters);
    connect(goodTrackCheck, &QCheckBox::toggled, this, &DefectsPage::applyFilters);
    connect(goodTrackBox, &QLineEdit::textEdited, this, [this] {
        if (goodTrackCheck->isChecked())
            applyFilters();
    });
    connect(defectTable, &QTableWidget::cellActivated, this, [this](int row, int) { openDefect(row); });
    connect(defectTable, &QTableWidget::cellClicked, this, [this](int row, int) { openDefect(row); });
    connect(exportButton, &QPushButton::clicked, this, &DefectsPage::exportList);
    connect(printButton, &QPushButton::clicked, this, &DefectsPage::printList);
    withdraw(QString());
}

core::TrackingSettings DefectsPage::trackingSettings() {
    core::TrackingSettings settings;
    QLineEdit* reading = limitsBox;
    try {
        for (const QString& word : limitsBox->text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const core::LimitSetting limit = core::limitFromText(toCore(word));
            settings.limits.set(limit.code, limit.limit);
        }
        reading = toleranceBox;
        settings.tolerance = core::toleranceFromText(toCore(toleranceBox->text()));
    } catch (const common::Error&) {
        reading->setFocus();
        reading->selectAll();
        throw;
    }
    return settings;
}

core::DefectFilter DefectsPage::filter() const {
    core::DefectFilter filter;
    if (statusChoice->currentIndex() > 0)
        filter.statuses.push_back(*core::statusFromName(toCore(statusChoice->currentText())));
    if (parameterChoice->currentIndex() > 0)
        filter.codes.push_back(core::parameterFromText(toCore(parameterChoice->currentText())));
    if (goodTrackCheck->isChecked()) {
        try {
            filter.tgiAtLeast = core::tgiAtLeastFromText(toCore(goodTrackBox->text()));
        } catch (const common::Error&) {
            filter.tgiAtLeast = core::kGoodTrackTgi; // while a number is being typed
        }
    }
    if (tracked_)
        filter.kms = heading_.range;
    return filter;
}

void DefectsPage::setResults(std::shared_ptr<const core::TrackedDefects> tracked,
                             const core::DefectsHeading& heading) {
    tracked_ = std::move(tracked);
    heading_ = heading;
    historyChart->clear(tr("Choose a defect to see its history."));
    applyFilters();
}

void DefectsPage::withdraw(const QString& note) {
    tracked_.reset();
    listed_.clear();
    defectTable->setRowCount(0);
    historyChart->clear();
    summaryLabel->setText(note);
    exportButton->setEnabled(false);
    printButton->setEnabled(false);
}

void DefectsPage::applyFilters() {
    if (!tracked_)
        return;
    heading_.filter = filter();
    listed_ = core::listDefects(*tracked_, heading_.filter);
    defectTable->setSortingEnabled(false);
    defectTable->setRowCount(static_cast<int>(listed_.size()));
    for (std::size_t row = 0; row < listed_.size(); ++row) {
        const auto cells = core::defectCells(*tracked_, listed_[row]);
        for (std::size_t column = 0; column < cells.size(); ++column) {
            auto* item = new DefectItem(cells[column]);
            item->setData(Qt::UserRole, static_cast<qulonglong>(listed_[row]));
            defectTable->setItem(static_cast<int>(row), static_cast<int>(column), item);
        }
    }
    // The list's own order until a heading is clicked.
    defectTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    defectTable->setSortingEnabled(true);
    summaryLabel->setText(fromCore(listed_.empty() ? std::string(core::kNoDefectsNote)
                                                   : core::defectsSummary(*tracked_, listed_)));
    exportButton->setEnabled(true);
    printButton->setEnabled(true);
}

void DefectsPage::openDefect(int row) {
    const QTableWidgetItem* item = defectTable->item(row, 0);
    if (!tracked_ || item == nullptr)
        return;
    historyChart->setHistory(
        core::defectHistory(*tracked_, static_cast<std::uint32_t>(item->data(Qt::UserRole).toULongLong())));
}

void DefectsPage::exportList() {
    if (!tracked_)
        return;
    const QString chosen = fileDialog_.showSaveAs(
        fromPath(core::defectsCsvName(heading_.series, heading_.today)), services::kCsvFileFilter);
    if (chosen.isEmpty())
        return;
    const std::string path = kestrana::history::withCsvExtension(toPath(chosen));
    const QString shownName = QDir::toNativeSeparators(fromPath(path));
    if (QFileInfo::exists(fromPath(path)) &&
        services::MessageBox::question(this, fromCore(kestrana::history::replaceQuestion(
                                                 toCore(shownName)))) != services::MessageAnswer::Yes)
        return;
    try {
        kestrana::history::saveCsv(path, core::defectsCsv(*tracked_, listed_, "\r\n"));
    } catch (const common::Error& error) {
        services::MessageBox::information(
            this, fromCore(kestrana::history::failureMessage(core::kDefectsExportFailed, error.reason())));
        return;
    }
    summaryLabel->setText(fromCore(kestrana::history::savedText(toCore(shownName))));
}

void DefectsPage::printList() {
    if (!tracked_)
        return;
    services::PrintOptions options;
    options.documentName = QStringLiteral("defects");
    options.fixedPitch = true; // the table's columns are laid out with blanks
    services::HardCopyPrinter::print(this, core::defectsPrintScript(heading_, *tracked_, listed_), QPixmap(),
                                     options);
}

} // namespace kestrana::gui::history
