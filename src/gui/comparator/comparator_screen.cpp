// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The core's headers come before any Qt header (see comparator_screen.h).
#include "core/analyser/screen_state.h"
#include "core/common/errors.h"
#include "core/common/paths.h"
#include "core/comparator/comparison.h"
#include "core/comparator/messages.h"
#include "core/comparator/reports.h"
#include "core/comparator/run_database.h"
#include "core/comparator/session.h"

#include "gui/app/navigator.h"
#include "gui/comparator/comparator_screen.h"
#include "gui/comparator/comparison_chart_canvas.h"
#include "gui/services/chart_clipboard.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/help.h"
#include "gui/services/message_box.h"
#include "gui/services/screen_memory.h"
#include "gui/services/settings.h"
#include "gui/services/title_prompt.h"
#include "gui/widgets/charts.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/file_drops.h"
#include "gui/widgets/list_box.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/screen_setup.h"

#include <QComboBox>
#include <QDate>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPalette>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <utility>
#include <vector>

namespace kestrana::gui::comparator {

namespace core = kestrana::comparator;
using widgets::fromCore;
using widgets::messageWithReason;
using widgets::toCore;

namespace {

// The design's fixed places of the run database (the store adds its extension) and of the pair
// scratch file, mapped into the program's home folder.
constexpr const char* kDatabaseDesignPath = "c:\\trcdbase";
constexpr const char* kScratchDesignPath = "c:\\temp_1.txt";

// A disabled run slot's path box is grey (&HC0C0C0); an enabled one has the system's window colour.
// Its path stays readable in a darker grey: the style's own disabled text all but vanishes on it.
const QColor kDisabledSlotColour(0xC0, 0xC0, 0xC0);
const QColor kDisabledPathColour(0x60, 0x60, 0x60);

std::string databaseBase() {
    return kestrana::common::mapDesignPath(kDatabaseDesignPath);
}

// A path as typed or chosen, for the core's file functions; drive-letter paths map into the home.
std::string mappedPath(const QString& typed) {
    return kestrana::common::mapDesignPath(widgets::toPath(typed));
}

// A message of the core followed by what exactly went wrong, when there is such a detail.
// The credit line's counter lives as long as the program, like the rest of the comparator's values.
kestrana::analyser::CreditLine& creditLine() {
    static kestrana::analyser::CreditLine line;
    return line;
}

} // namespace

ComparatorScreen::ComparatorScreen(QWidget* parent)
    : QWidget(parent), listed_(std::make_unique<core::ComparisonListing>()) {
    setObjectName(QStringLiteral("ComparatorScreen"));
    setWindowTitle(widgets::windowTitle(tr("TGI Comparator")));
    buildControls();
    buildLayout();
    setTabOrderAsSeen();
    connectHandlers();
    services::installHelp(this, QStringLiteral("comparator"));
    load();
    services::rememberScreen(this, {runFileEdits.begin(), runFileEdits.end()}, {parameterCombo});
    widgets::acceptFileDrops(this, core::kSlotCount,
                             [this](const QStringList& paths) { takeRunFiles(paths); });
}

void ComparatorScreen::takeRunFiles(const QStringList& paths) {
    const auto count = std::min<qsizetype>(paths.size(), core::kSlotCount);
    if (count == 0)
        return;
    for (qsizetype k = 0; k < count; ++k)
        runFileEdits[static_cast<std::size_t>(k)]->setText(paths[k]);
    // The path boxes come back in place of the km captions of runs loaded before, and COMPARE waits
    // for PROCESS DATA on the new runs, as when the number of older runs is edited.
    const QString olderRuns = QString::number(count - 1);
    if (count > 1 && olderRunCountEdit->text() != olderRuns)
        olderRunCountEdit->setText(olderRuns);
    else
        olderRunCountChanged();
}

ComparatorScreen::~ComparatorScreen() = default;

void ComparatorScreen::connectHandlers() {
    widgets::connectClicks(this, {{compareButton, &ComparatorScreen::compare},
                                  {processDataButton, &ComparatorScreen::processData},
                                  {printDetailsButton, &ComparatorScreen::printDetails},
                                  {goToMainButton, &ComparatorScreen::goToMain},
                                  {printGraphButton, &ComparatorScreen::printGraph},
                                  {saveDetailsButton, &ComparatorScreen::saveDetails}});
    for (int k = 0; k < core::kSlotCount; ++k)
        connect(browseButtons[k], &QPushButton::clicked, this, [this, k] { browseRunFile(k); });
    connect(olderRunCountEdit, &QLineEdit::textChanged, this, &ComparatorScreen::olderRunCountChanged);
    // A parameter picked from the list, by mouse or keyboard; typing into the box is not a pick.
    connect(parameterCombo, &QComboBox::activated, this, &ComparatorScreen::parameterChosen);
    connect(blockList, &widgets::ListBox::scrolled, this, &ComparatorScreen::blockListScrolled);
    for (int k = 0; k < core::kSlotCount; ++k)
        connect(valueLists[static_cast<std::size_t>(k)], &widgets::ListBox::scrolled, this,
                [this, k] { valueListScrolled(k); });
    connect(titleTimer, &QTimer::timeout, this, &ComparatorScreen::scrollTitle);
    connect(creditTimer, &QTimer::timeout, this, &ComparatorScreen::advanceCreditLine);

    // Enter in a box runs the operation that box feeds, when that operation is usable.
    std::vector<std::pair<QLineEdit*, QPushButton*>> enters = {{kmRangeEdits[0], compareButton},
                                                               {kmRangeEdits[1], compareButton}};
    for (QLineEdit* path : runFileEdits)
        enters.emplace_back(path, processDataButton);
    for (const auto& [box, command] : enters)
        widgets::pressOnEnter(box, command);
}

void ComparatorScreen::load() {
    // The screen fills the display it opens on.
    widgets::fillDisplay(this);
    // The box shows the count of older runs kept from an earlier visit, the count PROCESS DATA uses,
    // with the slots of that count usable. Shown without the edit's message: nothing was typed.
    const std::int16_t olderRuns = core::comparatorSession().olderRuns;
    {
        const QSignalBlocker quiet(olderRunCountEdit);
        olderRunCountEdit->setText(QString::number(olderRuns));
    }
    for (int k = 1; k < core::kSlotCount; ++k)
        setSlotEnabled(k, core::isOlderRunCount(olderRuns) && k <= olderRuns);
    setSlotEnabled(0, true);
    for (QLineEdit* km : kmRangeEdits)
        km->setEnabled(false);
    for (QPushButton* command : {compareButton, printDetailsButton, printGraphButton, saveDetailsButton})
        command->setEnabled(false);
    titleTimer->start();
    creditTimer->start();
}

void ComparatorScreen::setSlotEnabled(int slot, bool enabled) {
    QLineEdit* path = runFileEdits[static_cast<std::size_t>(slot)];
    path->setEnabled(enabled);
    QPalette colours = path->palette();
    const QColor base =
        enabled ? QGuiApplication::palette().color(QPalette::Active, QPalette::Base) : kDisabledSlotColour;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        colours.setColor(group, QPalette::Base, base);
    colours.setColor(QPalette::Disabled, QPalette::Text, kDisabledPathColour);
    path->setPalette(colours);
    slotHeadingLabels[static_cast<std::size_t>(slot)]->setEnabled(enabled);
    recentButtons[static_cast<std::size_t>(slot)]->setEnabled(enabled);
}

void ComparatorScreen::olderRunCountChanged() {
    for (QLineEdit* path : runFileEdits)
        path->show();
    compareButton->setEnabled(false);
    printDetailsButton->setEnabled(false);

    core::ComparatorSession& session = core::comparatorSession();
    const auto [olderRuns, slotChanges, showEnterOneToThree] =
        core::olderRunsEdited(toCore(olderRunCountEdit->text()));
    session.olderRuns = olderRuns;
    if (showEnterOneToThree)
        services::MessageBox::information(this, fromCore(core::kEnterOneToThreeMessage));
    for (int k = 1; k < core::kSlotCount; ++k) {
        const core::SlotEnabling change = slotChanges[static_cast<std::size_t>(k)];
        if (change != core::SlotEnabling::Unchanged)
            setSlotEnabled(k, change == core::SlotEnabling::Enabled);
    }
}

void ComparatorScreen::parameterChosen() {
    // The database holds the parameter of the last PROCESS DATA: a new one must be loaded first.
    compareButton->setEnabled(false);
}

// Before anything else the comparison of the runs loaded before goes, with COMPARE and the hard
// copies: a new build replaces the runs and the section it was printed under, and a refused one
// means other runs were asked for. Only a build that loads every run makes COMPARE usable again.
void ComparatorScreen::processData() {
    withdrawComparison(core::ComparisonListing{});
    compareButton->setEnabled(false);
    core::ComparatorSession& session = core::comparatorSession();
    core::BuildRequest request;
    for (int k = 0; k < core::kSlotCount; ++k)
        request.slotPaths[static_cast<std::size_t>(k)] =
            mappedPath(runFileEdits[static_cast<std::size_t>(k)]->text());
    request.olderRuns = session.olderRuns;
    request.parameter = toCore(parameterCombo->currentText());
    request.databaseBase = databaseBase();
    request.scratchPath = kestrana::common::mapDesignPath(kScratchDesignPath);

    // Each slot that loads gives up its path box to its km caption, then says so; slot 0 then fills
    // the km boxes.
    const core::BuildResult result =
        core::buildRunDatabase(request, session, [this](const core::SlotLoaded& slot) {
            runFileEdits[static_cast<std::size_t>(slot.slot)]->hide();
            services::addRecentFile(objectName(), runFileEdits[static_cast<std::size_t>(slot.slot)]->text());
            slotKmLabels[static_cast<std::size_t>(slot.slot)]->setText(fromCore(slot.kmCaption));
            services::MessageBox::information(this, fromCore(slot.message));
            if (slot.kmFromText)
                kmRangeEdits[0]->setText(fromCore(*slot.kmFromText));
            if (slot.kmToText)
                kmRangeEdits[1]->setText(fromCore(*slot.kmToText));
        });

    switch (result.outcome) {
    case core::BuildResult::Outcome::Built:
        compareButton->setEnabled(true);
        for (QLineEdit* km : kmRangeEdits)
            km->setEnabled(true);
        break;
    case core::BuildResult::Outcome::CountRefused:
    case core::BuildResult::Outcome::ParameterRefused:
        services::MessageBox::information(this, fromCore(result.failure->message()));
        break;
    case core::BuildResult::Outcome::DatabaseFailed:
        services::MessageBox::information(this, messageWithReason(*result.failure));
        break;
    case core::BuildResult::Outcome::SlotFailed:
        services::MessageBox::information(this, fromCore(result.failure->message()));
        for (int k = 0; k < core::kSlotCount; ++k) {
            runFileEdits[static_cast<std::size_t>(k)]->show();
            slotKmLabels[static_cast<std::size_t>(k)]->clear();
        }
        break;
    }
}

void ComparatorScreen::compare() {
    const core::ComparatorSession& session = core::comparatorSession();
    const core::CompareResult result = core::compareRuns(
        toCore(kmRangeEdits[0]->text()), toCore(kmRangeEdits[1]->text()), session, databaseBase());
    switch (result.outcome) {
    case core::CompareResult::Outcome::RangeRefused:
        // The comparison on screen was of another range than the boxes now hold: it goes, and with
        // it everything that would print or save it under the new range.
        withdrawComparison(core::ComparisonListing{});
        services::MessageBox::information(this, fromCore(result.failure->message()));
        return;
    case core::CompareResult::Outcome::Refused:
        withdrawComparison(result.listing);
        services::MessageBox::information(this, messageWithReason(*result.failure));
        return;
    case core::CompareResult::Outcome::Compared:
        break;
    }
    // The chart of an earlier comparison never stands beside this listing.
    withdrawComparison(result.listing);
    printDetailsButton->setEnabled(true);
    if (!result.chart)
        return;
    QStringList categories;
    const std::vector<std::string> legend = core::chartLegendNames(result.chart->seriesNames);
    std::vector<widgets::LineChart::Series> series(legend.size());
    for (std::size_t k = 0; k < series.size(); ++k)
        series[k].name = fromCore(legend[k]);
    for (const core::KmAverageRow& row : result.chart->rows) {
        categories.append(fromCore(core::kmCategoryLabel(row.km)));
        for (std::size_t k = 0; k < series.size() && k < row.means.size(); ++k)
            series[k].values.push_back(row.means[k]);
    }
    comparisonChart->setData(categories, series);
    printGraphButton->setEnabled(true);
    saveDetailsButton->setEnabled(true);
}

// Shows `listing` in place of the comparison before, whose chart and hard copies are withdrawn.
void ComparatorScreen::withdrawComparison(const core::ComparisonListing& listing) {
    showListing(listing);
    comparisonChart->clear();
    for (QPushButton* command : {printDetailsButton, printGraphButton, saveDetailsButton})
        command->setEnabled(false);
}

void ComparatorScreen::showListing(const core::ComparisonListing& listing) {
    *listed_ = listing;
    // A new comparison is read from its first block, wherever the boxes were scrolled before.
    const auto show = [](widgets::ListBox* box, const std::vector<std::string>& entries) {
        box->setEntries(entries);
        box->scrollToTop();
    };
    show(headingList, listing.heading);
    show(blockList, listing.blocks);
    for (std::size_t k = 0; k < runDateLists.size(); ++k) {
        show(runDateLists[k], listing.runDates[k]);
        show(valueLists[k], listing.values[k]);
    }
}

void ComparatorScreen::blockListScrolled() {
    const int n = core::comparatorSession().olderRuns;
    if (!core::isOlderRunCount(n))
        return;
    const int top = blockList->topIndex();
    coupling_ = true;
    for (int k = 0; k <= n; ++k)
        valueLists[static_cast<std::size_t>(k)]->setTopIndex(top);
    coupling_ = false;
}

// A value column scrolled by the user (mouse wheel, keys) takes the block column and so every other
// column with it: the values never leave the blocks they belong to.
void ComparatorScreen::valueListScrolled(int slot) {
    if (coupling_)
        return;
    blockList->setTopIndex(valueLists[static_cast<std::size_t>(slot)]->topIndex());
    // Where the block column could not follow (it is already there), the others still must.
    blockListScrolled();
}

core::ReportInputs ComparatorScreen::reportInputs() const {
    const core::ComparatorSession& session = core::comparatorSession();
    core::ReportInputs inputs;
    inputs.section = session.section;
    inputs.fromText = toCore(kmRangeEdits[0]->text());
    inputs.toText = toCore(kmRangeEdits[1]->text());
    inputs.parameter = toCore(parameterCombo->currentText());
    inputs.olderRuns = session.olderRuns;
    return inputs;
}

void ComparatorScreen::printDetails() {
    const QString title =
        services::TitlePrompt::ask(this, fromCore(core::kTitlePrompt),
                                   fromCore(core::kPrintDetailsPromptTitle), fromCore(core::kTitleDefault));
    services::PrintOptions options;
    options.documentName = tr("Comparison Details");
    services::HardCopyPrinter::print(this, core::printDetailsScript(reportInputs(), *listed_, toCore(title)),
                                     QPixmap(), options);
}

void ComparatorScreen::printGraph() {
    const QString title =
        services::TitlePrompt::ask(this, fromCore(core::kTitlePrompt), fromCore(core::kPrintGraphPromptTitle),
                                   fromCore(core::kTitleDefault));
    // The chart is drawn once more at the size the page gives it, so that its lettering prints at
    // one size whatever the size of the display it was shown on.
    widgets::LineChart pageChart;
    pageChart.setAttribute(Qt::WA_DontShowOnScreen);
    pageChart.resize(ComparisonChartCanvas::kPictureWidth, ComparisonChartCanvas::kPictureHeight);
    pageChart.setData(comparisonChart->categories(), comparisonChart->series());
    services::ChartClipboard::copyPicture(&pageChart);
    ComparisonChartCanvas canvas;
    canvas.takePicture(services::ChartClipboard::picture());
    const QString today = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    services::PrintOptions options;
    options.landscape = true;
    options.documentName = tr("Comparison Graph");
    services::HardCopyPrinter::print(this,
                                     core::printGraphScript(reportInputs(), toCore(title), toCore(today)),
                                     canvas.picture(), options);
}

void ComparatorScreen::saveDetails() {
    // A cancelled dialog ends the operation: nothing is written.
    const QString chosen = fileDialog.showSave();
    if (chosen.isEmpty())
        return;
    const std::string path = core::reportFileName(mappedPath(chosen));
    try {
        core::saveReport(path, core::comparatorSession().section, *listed_);
    } catch (const kestrana::common::Error& failure) {
        services::MessageBox::information(
            this, messageWithReason(failure.withMessage(core::kReportNotSavedMessage)));
    }
}

void ComparatorScreen::browseRunFile(int index) {
    QLineEdit* path = runFileEdits[static_cast<std::size_t>(index)];
    // A cancel leaves the typed path as it stands.
    const QString chosen = fileDialog.showOpen(path->text(), services::kRunFileFilter);
    if (!chosen.isEmpty())
        path->setText(chosen);
}

void ComparatorScreen::goToMain() {
    app::Navigator::goToMain(this);
}

void ComparatorScreen::scrollTitle() {
    titleBand->scroll();
}

void ComparatorScreen::advanceCreditLine() {
    creditLabel->setText(fromCore(creditLine().tick()));
}

} // namespace kestrana::gui::comparator
