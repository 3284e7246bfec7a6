// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The controls of the track history screen and where they stand: the title band; the library with
// its import buttons, progress bar and status line; the settings (line and direction, km range,
// index, threshold, maintenance jump, horizon) with SHOW; and the results as pages: the condition
// map with its legend, the block history chart, the maintenance list, the import's refused files.
// Laid out for 1024 x 768; the screen scrolls on a smaller display.
#include "gui/history/history_screen.h"

#include "core/history/history_screen_texts.h"
#include "core/history/terms.h"
#include "gui/history/block_history_chart.h"
#include "gui/history/condition_map_view.h"
#include "gui/history/defects_page.h"
#include "gui/widgets/band_colours.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/list_box.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/screen_setup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kestrana::gui::history {

namespace {

using widgets::fromCore;

QLabel* label(QWidget* parent, const char* name, const QString& caption = {}) {
    return widgets::makeLabel(parent, QLatin1String(name), caption);
}

QLineEdit* textBox(QWidget* parent, const char* name, const QString& text, const QString& accessibleName,
                   int width) {
    QLineEdit* box = widgets::makeTextBox(parent, QLatin1String(name), text);
    box->setAccessibleName(accessibleName);
    box->setMaximumWidth(width);
    return box;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    return widgets::makeButton(parent, QLatin1String(name), caption);
}

// A caption in front of its box; its mnemonic moves the focus into the box.
QLabel* buddyLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy) {
    QLabel* shown = label(parent, name, caption);
    shown->setBuddy(buddy);
    return shown;
}

QWidget* legend(QWidget* parent) {
    auto* strip = new QWidget(parent);
    strip->setObjectName(QStringLiteral("mapLegend"));
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    for (core::ValueBand band : core::legendBands()) {
        QPixmap swatch(14, 14);
        swatch.fill(widgets::bandColour(band));
        QPainter frame(&swatch);
        frame.setPen(Qt::darkGray);
        frame.drawRect(0, 0, 13, 13);
        frame.end();
        auto* box = new QLabel(strip);
        box->setPixmap(swatch);
        row->addWidget(box);
        row->addWidget(new QLabel(fromCore(core::valueBandLegend(band)), strip));
        row->addSpacing(10);
    }
    row->addStretch(1);
    return strip;
}

// The results, a page each: the condition map with its legend, the block history chart, the
// maintenance list and the import's refused files.
void buildResultPages(HistoryScreen& screen) {
    screen.pages = new QTabWidget(&screen);
    screen.pages->setObjectName(QStringLiteral("pages"));

    screen.mapPage = new QWidget(screen.pages);
    screen.conditionMap = new ConditionMapView(screen.mapPage);
    screen.mapSummaryLabel = label(screen.mapPage, "mapSummaryLabel");
    auto* mapHint =
        label(screen.mapPage, "mapHint",
              HistoryScreen::tr("Ctrl+wheel or + / - zoom, drag or arrow keys move, Enter or a click "
                                "opens the block"));
    auto* mapColumn = new QVBoxLayout(screen.mapPage);
    mapColumn->setContentsMargins(6, 6, 6, 6);
    mapColumn->addWidget(screen.mapSummaryLabel);
    mapColumn->addWidget(screen.conditionMap, 1);
    mapColumn->addWidget(legend(screen.mapPage));
    mapColumn->addWidget(mapHint);

    screen.blockPage = new QWidget(screen.pages);
    screen.blockChart = new BlockHistoryChart(screen.blockPage);
    auto* blockColumn = new QVBoxLayout(screen.blockPage);
    blockColumn->setContentsMargins(2, 2, 2, 2);
    blockColumn->addWidget(screen.blockChart);

    screen.maintenancePage = new QWidget(screen.pages);
    screen.maintenanceSummaryLabel = label(screen.maintenancePage, "maintenanceSummaryLabel");
    screen.maintenanceListBox = widgets::makeListBox(
        screen.maintenancePage, QStringLiteral("maintenanceListBox"), HistoryScreen::tr("Maintenance list"));
    screen.exportButton = button(screen.maintenancePage, "exportButton", HistoryScreen::tr("&Export CSV..."));
    screen.printButton = button(screen.maintenancePage, "printButton", HistoryScreen::tr("&Print"));
    auto* maintenanceButtons = new QHBoxLayout;
    maintenanceButtons->addWidget(screen.maintenanceSummaryLabel, 1);
    maintenanceButtons->addWidget(screen.exportButton);
    maintenanceButtons->addWidget(screen.printButton);
    auto* maintenanceColumn = new QVBoxLayout(screen.maintenancePage);
    maintenanceColumn->setContentsMargins(6, 6, 6, 6);
    maintenanceColumn->addLayout(maintenanceButtons);
    maintenanceColumn->addWidget(screen.maintenanceListBox, 1);

    screen.importPage = new QWidget(screen.pages);
    screen.importSummaryLabel = label(screen.importPage, "importSummaryLabel");
    screen.refusedList = widgets::makeListBox(screen.importPage, QStringLiteral("refusedList"),
                                              HistoryScreen::tr("Skipped and refused files"));
    auto* importColumn = new QVBoxLayout(screen.importPage);
    importColumn->setContentsMargins(6, 6, 6, 6);
    importColumn->addWidget(screen.importSummaryLabel);
    importColumn->addWidget(screen.refusedList, 1);

    // The runs of the line chosen; the selected ones can be removed.
    screen.runsPage = new QWidget(screen.pages);
    screen.runTable = new QTableWidget(0, 6, screen.runsPage);
    screen.runTable->setObjectName(QStringLiteral("runTable"));
    screen.runTable->setAccessibleName(HistoryScreen::tr("Runs of the line"));
    screen.runTable->setHorizontalHeaderLabels({HistoryScreen::tr("Date"), HistoryScreen::tr("Run"),
                                                HistoryScreen::tr("Blocks"), HistoryScreen::tr("Imported"),
                                                HistoryScreen::tr("By"), HistoryScreen::tr("File")});
    screen.runTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    screen.runTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    screen.runTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    screen.runTable->verticalHeader()->hide();
    screen.runTable->verticalHeader()->setDefaultSectionSize(screen.runTable->fontMetrics().height() + 6);
    screen.runTable->horizontalHeader()->setStretchLastSection(true);
    screen.runTable->setColumnWidth(0, 100);
    screen.runTable->setColumnWidth(1, 50);
    screen.runTable->setColumnWidth(2, 70);
    screen.runTable->setColumnWidth(3, 170);
    screen.runTable->setColumnWidth(4, 110);
    screen.removeRunsButton =
        button(screen.runsPage, "removeRunsButton", HistoryScreen::tr("Remo&ve runs..."));
    screen.removeRunsButton->setEnabled(false);
    auto* runsButtons = new QHBoxLayout;
    runsButtons->addWidget(
        label(screen.runsPage, "runsHint",
              HistoryScreen::tr("Select runs (Shift or Ctrl for several) to take them out of the library.")),
        1);
    runsButtons->addWidget(screen.removeRunsButton);
    auto* runsColumn = new QVBoxLayout(screen.runsPage);
    runsColumn->setContentsMargins(6, 6, 6, 6);
    runsColumn->addLayout(runsButtons);
    runsColumn->addWidget(screen.runTable, 1);

    screen.pages->addTab(screen.mapPage, HistoryScreen::tr("Condition &map"));
    screen.pages->addTab(screen.blockPage, HistoryScreen::tr("&Block history"));
    screen.pages->addTab(screen.maintenancePage, HistoryScreen::tr("M&aintenance list"));
    screen.pages->addTab(screen.importPage, HistoryScreen::tr("Import &details"));
    screen.pages->addTab(screen.runsPage, HistoryScreen::tr("R&uns"));
}

} // namespace

void HistoryScreen::buildControls() {
    widgets::applyStyle(this);

    libraryChoice = new QComboBox(this);
    libraryChoice->setObjectName(QStringLiteral("libraryChoice"));
    libraryChoice->setAccessibleName(tr("Run library choice"));
    for (std::string_view choice : {core::kYourLibraryChoice, core::kSamplesChoice, core::kOtherLibraryChoice,
                                    core::kServerLibraryChoice})
        libraryChoice->addItem(fromCore(choice));
    libraryPathBox = textBox(this, "libraryPathBox", QString(), tr("Run library"), 16777215);
    libraryPathBox->setReadOnly(true);
    importFilesButton = button(this, "importFilesButton", tr("Import &files..."));
    importFolderButton = button(this, "importFolderButton", tr("Import f&older..."));
    cancelImportButton = button(this, "cancelImportButton", tr("&Cancel import"));
    cancelImportButton->setEnabled(false);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setAccessibleName(tr("Progress of the import or the reading"));
    progressBar->setMinimumWidth(160);
    progressBar->setMaximumWidth(220);
    progressBar->setTextVisible(true);
    progressBar->setRange(0, 1);
    progressBar->setValue(0);
    // Shown only while work goes on; it keeps its room meanwhile, so nothing moves.
    QSizePolicy keepRoom = progressBar->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    progressBar->setSizePolicy(keepRoom);
    progressBar->hide();
    statusLabel = label(this, "statusLabel");
    statusLabel->setMinimumWidth(100);
    statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    seriesChoice = new QComboBox(this);
    seriesChoice->setObjectName(QStringLiteral("seriesChoice"));
    seriesChoice->setAccessibleName(tr("Line and direction"));
    seriesChoice->setMinimumWidth(360);
    seriesChoice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    seriesChoice->setMinimumContentsLength(40);
    kmFromBox = textBox(this, "kmFromBox", QString(), tr("Km from"), 70);
    kmToBox = textBox(this, "kmToBox", QString(), tr("Km to"), 70);
    indexChoice = new QComboBox(this);
    indexChoice->setObjectName(QStringLiteral("indexChoice"));
    indexChoice->setAccessibleName(tr("Index"));
    for (core::BlockIndex index : core::kBlockIndices)
        indexChoice->addItem(fromCore(core::indexName(index)));
    thresholdBox =
        textBox(this, "thresholdBox", QString::number(core::kDefaultThreshold), tr("Threshold"), 60);
    jumpBox = textBox(this, "jumpBox", QString::number(core::kDefaultJump), tr("Maintenance jump"), 60);
    horizonBox = textBox(this, "horizonBox", QString::number(core::kDefaultHorizonMonths),
                         tr("Horizon in months"), 60);
    showButton = button(this, "showButton", tr("&SHOW"));
    showButton->setFont(widgets::designFont(QStringLiteral("MS Sans Serif"), 10, true));
    goToMainButton = button(this, "goToMainButton", tr("&GO TO MAIN"));

    buildResultPages(*this);
    // Beside the maintenance list: the defects of the range.
    defectsPage = new DefectsPage(fileDialog_, pages);
    pages->insertTab(pages->indexOf(maintenancePage) + 1, defectsPage, tr("D&efects"));
}

void HistoryScreen::buildLayout() {
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("historyContent"));
    auto* page = new QVBoxLayout(content);
    page->setContentsMargins(8, 6, 8, 6);
    page->setSpacing(6);

    auto* title = label(content, "titleBand", fromCore(core::kScreenTitle));
    title->setFont(widgets::designFont(QStringLiteral("Bookman Old Style"), 16, true));
    title->setAlignment(Qt::AlignCenter);
    title->setFixedHeight(36);
    page->addWidget(title);

    auto* library = new QHBoxLayout;
    library->addWidget(buddyLabel(content, "libraryLabel", tr("Librar&y"), libraryChoice));
    library->addWidget(libraryChoice);
    library->addWidget(libraryPathBox, 1);
    library->addWidget(importFilesButton);
    library->addWidget(importFolderButton);
    library->addWidget(cancelImportButton);
    page->addLayout(library);

    auto* progress = new QHBoxLayout;
    progress->addWidget(progressBar);
    progress->addWidget(statusLabel, 1);
    page->addLayout(progress);

    auto* settings = new QGridLayout;
    settings->setHorizontalSpacing(6);
    settings->addWidget(buddyLabel(content, "seriesLabel", tr("&Line"), seriesChoice), 0, 0);
    settings->addWidget(seriesChoice, 0, 1, 1, 3);
    settings->addWidget(buddyLabel(content, "kmFromLabel", tr("Km f&rom"), kmFromBox), 0, 4);
    settings->addWidget(kmFromBox, 0, 5);
    settings->addWidget(buddyLabel(content, "kmToLabel", tr("Km &to"), kmToBox), 0, 6);
    settings->addWidget(kmToBox, 0, 7);
    settings->addWidget(buddyLabel(content, "indexLabel", tr("&Index"), indexChoice), 1, 0);
    settings->addWidget(indexChoice, 1, 1);
    settings->addWidget(buddyLabel(content, "thresholdLabel", tr("T&hreshold"), thresholdBox), 1, 2);
    settings->addWidget(thresholdBox, 1, 3);
    settings->addWidget(buddyLabel(content, "jumpLabel", tr("Maintenance &jump"), jumpBox), 1, 4);
    settings->addWidget(jumpBox, 1, 5);
    settings->addWidget(buddyLabel(content, "horizonLabel", tr("Hori&zon (months)"), horizonBox), 1, 6);
    settings->addWidget(horizonBox, 1, 7);
    settings->setColumnStretch(8, 1);
    settings->addWidget(showButton, 0, 9, 2, 1);
    settings->addWidget(goToMainButton, 0, 10, 2, 1);
    showButton->setMinimumHeight(44);
    goToMainButton->setMinimumHeight(44);
    page->addLayout(settings);

    page->addWidget(pages, 1);

    // On a display smaller than the layout the whole screen scrolls instead of squeezing the map.
    content->setMinimumSize(980, 640);
    auto* scroller = new QScrollArea(this);
    scroller->setObjectName(QStringLiteral("historyScroller"));
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setFocusPolicy(Qt::NoFocus); // no stop of Tab: the page follows the focus
    scroller->setWidget(content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroller);

    setTabOrder(libraryChoice, importFilesButton);
    setTabOrder(importFilesButton, importFolderButton);
    setTabOrder(importFolderButton, cancelImportButton);
    setTabOrder(cancelImportButton, seriesChoice);
    setTabOrder(seriesChoice, kmFromBox);
    setTabOrder(kmFromBox, kmToBox);
    setTabOrder(kmToBox, indexChoice);
    setTabOrder(indexChoice, thresholdBox);
    setTabOrder(thresholdBox, jumpBox);
    setTabOrder(jumpBox, horizonBox);
    setTabOrder(horizonBox, showButton);
    setTabOrder(showButton, goToMainButton);
    // The page tabs, then the map: the tab widget hands its focus to its tab bar, so the order is set
    // on the bar itself.
    auto* pageTabs = pages->findChild<QTabBar*>();
    setTabOrder(goToMainButton, pageTabs);
    setTabOrder(pageTabs, conditionMap);
    setTabOrder(conditionMap, blockChart);
    setTabOrder(blockChart, exportButton);
    setTabOrder(exportButton, printButton);
    setTabOrder(printButton, maintenanceListBox);
    setTabOrder(maintenanceListBox, refusedList);
    setTabOrder(refusedList, removeRunsButton);
    setTabOrder(removeRunsButton, runTable);
    setTabOrder(runTable, libraryPathBox);
}

} // namespace kestrana::gui::history
