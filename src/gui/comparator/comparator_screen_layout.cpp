// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The comparator screen's controls with their design texts and first states, and how they are laid
// out: the run files, the number of runs, the parameter, the km range and the buttons down the left,
// the comparison listing beside them, the chart across the width below. Everything stretches with
// the window.

// The core's headers come before any Qt header (see comparator_screen.h).
#include "core/common/paths.h"
#include "core/comparator/run_database.h"
#include "core/comparator/session.h"

#include "gui/comparator/comparator_screen.h"
#include "gui/services/screen_memory.h"
#include "gui/widgets/charts.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/list_box.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/screen_setup.h"
#include "gui/widgets/title_band.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrana::gui::comparator {

namespace core = kestrana::comparator;

namespace {

constexpr std::array<const char*, core::kSlotCount> kSlotHeadings = {
    QT_TRANSLATE_NOOP("kestrana::gui::comparator::ComparatorScreen", "Input File - Current TRC Run No.0"),
    QT_TRANSLATE_NOOP("kestrana::gui::comparator::ComparatorScreen",
                      "Input File  -  TRC Run No.1   [ Oldest ]"),
    QT_TRANSLATE_NOOP("kestrana::gui::comparator::ComparatorScreen", "Input File  -  TRC Run No.2"),
    QT_TRANSLATE_NOOP("kestrana::gui::comparator::ComparatorScreen", "Input File  -  TRC Run No.3")};

using widgets::indexedName;

// Buttons here are pressed by Space or a click; Enter in a box presses the operation it feeds.
QPushButton* button(QWidget* parent, const QString& name, const QString& caption,
                    const QString& accessibleName) {
    QPushButton* command = widgets::makeButton(parent, name, caption);
    command->setAccessibleName(accessibleName);
    command->setAutoDefault(false);
    return command;
}

} // namespace

void ComparatorScreen::buildControls() {
    widgets::applyStyle(this);

    // The km caption of a slot is made before its path box, so that the box lies over it.
    for (int k = 0; k < core::kSlotCount; ++k) {
        slotHeadingLabels[k] =
            widgets::makeLabel(this, indexedName("slotHeadingLabels", k), tr(kSlotHeadings[k]));
        slotKmLabels[k] = widgets::makeLabel(this, indexedName("slotKmLabels", k));
        slotKmLabels[k]->setProperty("kmCaption", true);
        runFileEdits[k] =
            widgets::makeTextBox(this, indexedName("runFileEdits", k),
                                 QDir::toNativeSeparators(widgets::fromPath(
                                     kestrana::common::mapDesignPath(core::kDesignSlotPaths[k]))));
        runFileEdits[k]->setAccessibleName(tr("Run file of run %1").arg(k));
        slotHeadingLabels[k]->setBuddy(runFileEdits[k]);
        browseButtons[k] = button(this, indexedName("browseButtons", k), tr("Browse"),
                                  tr("Browse for the run file of run %1").arg(k));
        recentButtons[k] =
            services::makeRecentFilesButton(this, runFileEdits[k], indexedName("recentButtons", k));
    }

    olderRunCountLabel = widgets::makeLabel(this, QStringLiteral("olderRunCountLabel"),
                                            tr("Number of Runs for comparision (excluding current)"));
    olderRunCountLabel->setWordWrap(true);
    olderRunCountEdit = widgets::makeTextBox(this, QStringLiteral("olderRunCountEdit"), QStringLiteral("0"));
    olderRunCountEdit->setAccessibleName(tr("Number of older runs"));
    olderRunCountLabel->setBuddy(olderRunCountEdit);
    parameterLabel = widgets::makeLabel(this, QStringLiteral("parameterLabel"), tr("Compare Parameter "));
    parameterCombo = widgets::makeChoiceBox(this, QStringLiteral("parameterCombo"),
                                            widgets::fromCoreList(core::kCompareParameterNames));
    parameterCombo->setAccessibleName(tr("Compare parameter"));
    parameterLabel->setBuddy(parameterCombo);

    kmRangeLabels[0] = widgets::makeLabel(this, indexedName("kmRangeLabels", 0), tr("Km  - From"));
    kmRangeLabels[1] = widgets::makeLabel(this, indexedName("kmRangeLabels", 1), tr("Km - To"));
    for (int i = 0; i < 2; ++i) {
        kmRangeEdits[i] = widgets::makeTextBox(this, indexedName("kmRangeEdits", i));
        kmRangeLabels[i]->setBuddy(kmRangeEdits[i]);
    }
    kmRangeEdits[0]->setAccessibleName(tr("Km from"));
    kmRangeEdits[1]->setAccessibleName(tr("Km to"));

    processDataButton =
        button(this, QStringLiteral("processDataButton"), tr("PROCESS   DATA"), tr("Process data"));
    compareButton = button(this, QStringLiteral("compareButton"), tr("COMPARE    TGI   "), tr("Compare"));
    printDetailsButton =
        button(this, QStringLiteral("printDetailsButton"), tr("PRINT   DETAILS"), tr("Print details"));
    printGraphButton =
        button(this, QStringLiteral("printGraphButton"), tr("PRINT  GRAPH"), tr("Print graph"));
    saveDetailsButton =
        button(this, QStringLiteral("saveDetailsButton"), tr("SAVE DETAILS"), tr("Save details"));
    goToMainButton =
        button(this, QStringLiteral("goToMainButton"), tr("   GO TO   MAIN"), tr("Go to main menu"));

    headingList = widgets::makeListBox(this, QStringLiteral("headingList"), tr("Listing heading"));
    blockList = widgets::makeListBox(this, QStringLiteral("blockList"), tr("Blocks"));
    for (int k = 0; k < core::kSlotCount; ++k) {
        runDateLists[k] =
            widgets::makeListBox(this, indexedName("runDateLists", k), tr("Run date of run %1").arg(k));
        valueLists[k] =
            widgets::makeListBox(this, indexedName("valueLists", k), tr("Values of run %1").arg(k));
    }
    comparisonChart = new widgets::LineChart(this);
    comparisonChart->setObjectName(QStringLiteral("comparisonChart"));
    comparisonChart->setAccessibleName(tr("Comparison chart"));

    // The title starts in the middle of the band, on a multiple of the 5-twip step.
    titleBand = widgets::makeHeadingBand(this, tr("TGI  COMPARATOR"), [](int bandTwips, int titleTwips) {
        return (bandTwips - titleTwips) / 2 / 5 * 5;
    });
    titleLabel = titleBand->title();
    creditLabel = widgets::makeCreditLine(this);

    titleTimer = widgets::designTimer(this, "titleTimer", widgets::kTitleIntervalMs);
    creditTimer = widgets::designTimer(this, "creditTimer", widgets::kCreditIntervalMs);
}

namespace {

// The run files, each path box lying over its km caption.
QGroupBox* buildRunsGroup(ComparatorScreen& screen) {
    auto* runs = new QGroupBox(ComparatorScreen::tr("Runs"), &screen);
    auto* runsGrid = new QGridLayout(runs);
    runsGrid->setVerticalSpacing(2);
    for (int k = 0; k < core::kSlotCount; ++k) {
        runsGrid->addWidget(screen.slotHeadingLabels[k], 2 * k, 0, 1, 3);
        runsGrid->addWidget(screen.slotKmLabels[k], 2 * k + 1, 0);
        runsGrid->addWidget(screen.runFileEdits[k], 2 * k + 1, 0);
        runsGrid->addWidget(screen.browseButtons[k], 2 * k + 1, 1);
        runsGrid->addWidget(screen.recentButtons[k], 2 * k + 1, 2);
        // The hidden path box keeps its room, so the caption takes its place without a jump.
        QSizePolicy keepRoom = screen.runFileEdits[k]->sizePolicy();
        keepRoom.setRetainSizeWhenHidden(true);
        screen.runFileEdits[k]->setSizePolicy(keepRoom);
        screen.slotKmLabels[k]->setFixedHeight(screen.runFileEdits[k]->sizeHint().height());
    }
    runsGrid->setColumnStretch(0, 1);
    return runs;
}

// The number of older runs, the parameter and the km range.
QGroupBox* buildComparisonGroup(ComparatorScreen& screen) {
    auto* inputs = new QGroupBox(ComparatorScreen::tr("Comparison"), &screen);
    auto* inputsGrid = new QGridLayout(inputs);
    inputsGrid->setVerticalSpacing(4);
    inputsGrid->addWidget(screen.olderRunCountLabel, 0, 0, 1, 3);
    inputsGrid->addWidget(screen.olderRunCountEdit, 0, 3);
    inputsGrid->addWidget(screen.parameterLabel, 1, 0, 1, 2);
    inputsGrid->addWidget(screen.parameterCombo, 1, 2, 1, 2);
    inputsGrid->addWidget(screen.kmRangeLabels[0], 2, 0);
    inputsGrid->addWidget(screen.kmRangeEdits[0], 2, 1);
    inputsGrid->addWidget(screen.kmRangeLabels[1], 2, 2);
    inputsGrid->addWidget(screen.kmRangeEdits[1], 2, 3);
    inputsGrid->setColumnStretch(1, 1);
    inputsGrid->setColumnStretch(3, 1);
    for (QLineEdit* number : {screen.olderRunCountEdit, screen.kmRangeEdits[0], screen.kmRangeEdits[1]})
        number->setMinimumWidth(56);
    screen.olderRunCountEdit->setMaximumWidth(70);
    return inputs;
}

// The six operations, two by two.
QGridLayout* buildOperations(ComparatorScreen& screen) {
    auto* operations = new QGridLayout;
    operations->setSpacing(4);
    operations->addWidget(screen.processDataButton, 0, 0);
    operations->addWidget(screen.compareButton, 0, 1);
    operations->addWidget(screen.printDetailsButton, 1, 0);
    operations->addWidget(screen.printGraphButton, 1, 1);
    operations->addWidget(screen.saveDetailsButton, 2, 0);
    operations->addWidget(screen.goToMainButton, 2, 1);
    return operations;
}

// The listing, headings over their columns.
QGroupBox* buildListingGroup(ComparatorScreen& screen) {
    auto* listing = new QGroupBox(ComparatorScreen::tr("Comparison listing"), &screen);
    auto* listingGrid = new QGridLayout(listing);
    listingGrid->setHorizontalSpacing(2);
    listingGrid->setVerticalSpacing(2);
    const QFontMetrics digits(widgets::listingFont());
    listingGrid->addWidget(screen.headingList, 0, 0);
    listingGrid->addWidget(screen.blockList, 1, 0);
    // The block column is as wide as its labels; the value columns share the rest, each value
    // standing in the middle under its run date.
    const auto chars = [&](int count) { return digits.horizontalAdvance(QString(count, QLatin1Char('0'))); };
    screen.blockList->setMinimumWidth(chars(30));
    screen.blockList->setMaximumWidth(chars(36));
    listingGrid->setColumnStretch(0, 3);
    for (int k = 0; k < core::kSlotCount; ++k) {
        listingGrid->addWidget(screen.runDateLists[k], 0, k + 1);
        listingGrid->addWidget(screen.valueLists[k], 1, k + 1);
        screen.valueLists[k]->setMinimumWidth(chars(9));
        screen.runDateLists[k]->setEntryAlignment(Qt::AlignCenter);
        screen.valueLists[k]->setEntryAlignment(Qt::AlignCenter);
        // The value columns follow the block column's scroll bar; their own would only distract.
        screen.valueLists[k]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        listingGrid->setColumnStretch(k + 1, 2);
    }
    screen.headingList->setMaximumWidth(chars(36));
    std::vector<widgets::ListBox*> headings{screen.headingList};
    headings.insert(headings.end(), screen.runDateLists.begin(), screen.runDateLists.end());
    for (widgets::ListBox* heading : headings) {
        heading->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        heading->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        heading->setFocusPolicy(Qt::NoFocus);
        heading->setFixedHeight(heading->heightForRows(1));
    }
    listingGrid->setRowStretch(1, 1);
    return listing;
}

} // namespace

void ComparatorScreen::buildLayout() {
    // Left: the run files, the comparison's inputs and the operations.
    auto* left = new QVBoxLayout;
    left->setSpacing(6);
    left->addWidget(buildRunsGroup(*this));
    left->addWidget(buildComparisonGroup(*this));
    left->addLayout(buildOperations(*this));
    left->addStretch(1);

    // Right of the inputs: the listing, headings over their columns.
    QGroupBox* listing = buildListingGroup(*this);

    auto* top = new QWidget(this);
    auto* columns = new QHBoxLayout(top);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(8);
    // The inputs take what their paths need, up to a width that still reads as one column.
    auto* inputsColumn = new QWidget(top);
    inputsColumn->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    inputsColumn->setMaximumWidth(620);
    columns->addWidget(inputsColumn, 1);
    columns->addWidget(listing, 2);

    // Below, the chart across the whole width: up to a hundred kms read best side by side, and the
    // graph page prints it across the paper. The divider gives either part more room.
    auto* parts = new QSplitter(Qt::Vertical, this);
    parts->setObjectName(QStringLiteral("partsSplitter"));
    parts->setChildrenCollapsible(false);
    parts->addWidget(top);
    parts->addWidget(comparisonChart);
    parts->setStretchFactor(0, 3);
    parts->setStretchFactor(1, 2);
    parts->setSizes({450, 300});
    comparisonChart->setMinimumHeight(200);

    widgets::headedPage(this, titleBand, creditLabel)->addWidget(parts, 1);

    for (QLineEdit* path : runFileEdits)
        path->setMinimumWidth(240);
}

void ComparatorScreen::setTabOrderAsSeen() {
    std::vector<QWidget*> order;
    for (int k = 0; k < core::kSlotCount; ++k) {
        order.push_back(runFileEdits[k]);
        order.push_back(browseButtons[k]);
        order.push_back(recentButtons[k]);
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{olderRunCountEdit, parameterCombo, kmRangeEdits[0], kmRangeEdits[1],
                                         processDataButton, compareButton, printDetailsButton,
                                         printGraphButton, saveDetailsButton, goToMainButton, blockList})
        order.push_back(control);
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

} // namespace kestrana::gui::comparator
