// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The analyser screen's controls with their design texts and defaults, and how they are laid out:
// the run and its quality figures down the left, the block listing (or the chart in its place), the
// raw data of a listed block and the track share on the right. Everything stretches with the window.

#include "core/analyser/listing.h"
#include "core/analyser/quality.h"
#include "core/common/paths.h"
#include "gui/analyser/analyser_screen.h"
#include "gui/services/screen_memory.h"
#include "gui/widgets/band_colours.h"
#include "gui/widgets/charts.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/list_box.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/screen_setup.h"
#include "gui/widgets/title_band.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrana::gui::analyser {

namespace core = kestrana::analyser;

namespace {

// The design's default paths, mapped into the program's home folder.
constexpr const char* kDefaultRunFile = "d:\\TRCDATA\\trcdata.run";
constexpr const char* kDefaultOutputFile = "c:\\Trcout.txt";
// The title moving through the band.
constexpr const char* kTitleText = QT_TRANSLATE_NOOP(
    "kestrana::gui::analyser::AnalyserScreen", "K E S T R A N A   -   TRACK  GEOMETRY  INDEX  ANALYSER");

QString mappedDefault(const char* designPath) {
    return QDir::toNativeSeparators(widgets::fromPath(kestrana::common::mapDesignPath(designPath)));
}

// Boxes, buttons and lists are named for screen readers by their object names, unless a plainer
// name is given.
QLineEdit* textBox(QWidget* parent, const char* name, const QString& text = {}) {
    QLineEdit* box = widgets::makeTextBox(parent, QString::fromLatin1(name), text);
    box->setAccessibleName(QString::fromLatin1(name));
    return box;
}

// A box that only shows what PROCESS DATA found.
QLineEdit* shownBox(QWidget* parent, const char* name) {
    QLineEdit* box = textBox(parent, name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QString& accessibleName) {
    QPushButton* command = widgets::makeButton(parent, QString::fromLatin1(name), caption);
    command->setAccessibleName(accessibleName);
    return command;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption = {}) {
    return widgets::makeLabel(parent, QString::fromLatin1(name), caption);
}

// A caption beside a text box, naming the box for screen readers too.
QLabel* caption(QWidget* parent, const QString& text, QLineEdit* box) {
    auto* shown = new QLabel(text, parent);
    shown->setTextFormat(Qt::PlainText);
    shown->setBuddy(box);
    box->setAccessibleName(shown->text().simplified());
    box->setAccessibleDescription(shown->text().simplified());
    return shown;
}

widgets::ListBox* listBox(QWidget* parent, const char* name, const QString& accessibleName) {
    return widgets::makeListBox(parent, QString::fromLatin1(name), accessibleName);
}

// The raw data of a picked block: read-only cells in the listings' fixed-pitch face, columns as wide
// as their texts, so the fourteen channels fit side by side on a 1024 x 768 display.
QTableWidget* rawTable(QWidget* parent) {
    auto* table = new QTableWidget(parent);
    table->setObjectName(QStringLiteral("rawValuesTable"));
    table->setAccessibleName(AnalyserScreen::tr("Recorded values of the picked block"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFont(widgets::listingFont());
    table->horizontalHeader()->setFont(widgets::listingFont());
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setMinimumSectionSize(8);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->setWordWrap(false);
    return table;
}

} // namespace

void AnalyserScreen::buildControls() {
    widgets::applyStyle(this);

    // The title starts where the design puts its left edge: at 11880 of 15375 twips, on a multiple
    // of the 5-twip step.
    titleBand = widgets::makeHeadingBand(this, tr(kTitleText), [](int bandTwips, int) {
        return static_cast<int>(bandTwips * (11880.0 / 15375.0)) / 5 * 5;
    });
    titleLabel = titleBand->title();
    creditLabel = widgets::makeCreditLine(this);

    runFileEdit = textBox(this, "runFileEdit", mappedDefault(kDefaultRunFile));
    browseRunFileButton = button(this, "browseRunFileButton", tr("Browse"), tr("Browse for the run file"));
    recentRunFilesButton =
        services::makeRecentFilesButton(this, runFileEdit, QStringLiteral("recentRunFilesButton"));
    outputFileEdit = textBox(this, "outputFileEdit", mappedDefault(kDefaultOutputFile));
    browseOutputFileButton =
        button(this, "browseOutputFileButton", tr("Browse"), tr("Browse for the SD output file"));
    processDataButton = button(this, "processDataButton", tr("PROCESS DATA"), tr("Process data"));

    runDateEdit = shownBox(this, "runDateEdit");
    runNumberEdit = shownBox(this, "runNumberEdit");
    sectionLabel = label(this, "sectionLabel");
    sectionLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    kmFromEdit = shownBox(this, "kmFromEdit");
    kmToEdit = shownBox(this, "kmToEdit");
    startKmEdit = textBox(this, "startKmEdit");
    endKmEdit = textBox(this, "endKmEdit");

    processInformationButton =
        button(this, "processInformationButton", tr("PROCESS INFORMATION"), tr("Process information"));
    band1Label = label(this, "band1Label", widgets::fromCore(core::kBandCaptionPrefixes[0]));
    band2Label = label(this, "band2Label", widgets::fromCore(core::kBandCaptionPrefixes[1]));
    band3Label = label(this, "band3Label", widgets::fromCore(core::kBandCaptionPrefixes[2]));
    band4Label = label(this, "band4Label", widgets::fromCore(core::kBandCaptionPrefixes[3]));
    nonRecordedLabel = label(this, "nonRecordedLabel", widgets::fromCore(core::kNonRecordedCaptionPrefix));
    averageLabel = label(this, "averageLabel", widgets::fromCore(core::kAverageCaptionPrefix));
    printGraphButton = button(this, "printGraphButton", tr("PRINT GRAPH"), tr("Print graph"));

    indexCombo =
        widgets::makeChoiceBox(this, QStringLiteral("indexCombo"), widgets::fromCoreList(core::kIndexNames));
    indexCombo->setAccessibleName(tr("Index"));
    lowTgiEdit = textBox(this, "lowTgiEdit", QStringLiteral("1"));
    highTgiEdit = textBox(this, "highTgiEdit", QStringLiteral("35"));
    showDetailsButton = button(this, "showDetailsButton", tr("SHOW     DETAILS"), tr("Show details"));
    listingHeaderList = listBox(this, "listingHeaderList", tr("Block listing header"));
    listingList = listBox(this, "listingList", tr("Block listing"));
    qualityChart = new widgets::BarChart(this);
    qualityChart->setObjectName(QStringLiteral("qualityChart"));
    qualityChart->setAccessibleName(tr("Quality distribution chart"));
    qualityChart->setBarColours(widgets::qualityBandColours());
    printDetailsButton = button(this, "printDetailsButton", tr("PRINT   DETAILS"), tr("Print details"));
    saveDetailsButton = button(this, "saveDetailsButton", tr("SAVE DETAILS"), tr("Save details"));
    rawValuesTable = rawTable(this);
    listingHeaderList->headOver(listingList);
    qualityChart->setFocusPolicy(Qt::NoFocus);

    shareLowEdit = textBox(this, "shareLowEdit", QStringLiteral("1"));
    shareHighEdit = textBox(this, "shareHighEdit", QStringLiteral("100"));
    calcTrackShareButton = button(this, "calcTrackShareButton", tr("CALC TRACK % BETWEEN TGIs"),
                                  tr("Calculate track percentage between TGIs"));
    trackShareLabel = label(this, "trackShareLabel");
    trackShareLabel->setWordWrap(true);
    trackShareLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    goToMainButton = button(this, "goToMainButton", tr("  GO TO    MAIN"), tr("Go to main menu"));

    titleTimer = widgets::designTimer(this, "titleTimer", widgets::kTitleIntervalMs);
    creditTimer = widgets::designTimer(this, "creditTimer", widgets::kCreditIntervalMs);
}

namespace {

// The run file, the SD output file, PROCESS DATA and the run's header data.
QGroupBox* buildRunGroup(AnalyserScreen& screen) {
    auto* files = new QGroupBox(AnalyserScreen::tr("Run"), &screen);
    auto* filesGrid = new QGridLayout(files);
    filesGrid->setVerticalSpacing(3);
    filesGrid->addWidget(
        caption(files, AnalyserScreen::tr("Input File-TRC- (with full path)"), screen.runFileEdit), 0, 0, 1,
        3);
    filesGrid->addWidget(screen.runFileEdit, 1, 0);
    filesGrid->addWidget(screen.browseRunFileButton, 1, 1);
    filesGrid->addWidget(screen.recentRunFilesButton, 1, 2);
    filesGrid->addWidget(
        caption(files, AnalyserScreen::tr("Output File - SD -  (with full path)"), screen.outputFileEdit), 2,
        0, 1, 3);
    filesGrid->addWidget(screen.outputFileEdit, 3, 0);
    filesGrid->addWidget(screen.browseOutputFileButton, 3, 1);
    filesGrid->addWidget(screen.processDataButton, 4, 0, 1, 3);

    auto* header = new QGridLayout;
    header->setVerticalSpacing(3);
    header->addWidget(caption(files, AnalyserScreen::tr("      Date of Recording"), screen.runDateEdit), 0,
                      0);
    header->addWidget(screen.runDateEdit, 0, 1);
    header->addWidget(caption(files, AnalyserScreen::tr("  Run Number"), screen.runNumberEdit), 1, 0);
    header->addWidget(screen.runNumberEdit, 1, 1);
    header->addWidget(screen.sectionLabel, 2, 0, 1, 3);
    header->addWidget(caption(files, AnalyserScreen::tr("Recording Starts at KM"), screen.kmFromEdit), 3, 0);
    header->addWidget(screen.kmFromEdit, 3, 1);
    header->addWidget(caption(files, AnalyserScreen::tr("  Recording Ends at KM"), screen.kmToEdit), 4, 0);
    header->addWidget(screen.kmToEdit, 4, 1);
    header->setColumnStretch(2, 1);
    for (QLineEdit* shown : {screen.runDateEdit, screen.runNumberEdit, screen.kmFromEdit, screen.kmToEdit})
        shown->setFixedWidth(96);
    filesGrid->addLayout(header, 5, 0, 1, 3);
    return files;
}

// The analysis range, PROCESS INFORMATION, the quality bands and PRINT GRAPH.
QGroupBox* buildQualityGroup(AnalyserScreen& screen) {
    auto* quality = new QGroupBox(AnalyserScreen::tr("Quality distribution"), &screen);
    auto* qualityBox = new QVBoxLayout(quality);
    qualityBox->setSpacing(3);
    auto* range = new QHBoxLayout;
    range->addWidget(caption(quality, AnalyserScreen::tr("Starting KM"), screen.startKmEdit));
    range->addWidget(screen.startKmEdit, 1);
    range->addWidget(caption(quality, AnalyserScreen::tr("Ending KM"), screen.endKmEdit));
    range->addWidget(screen.endKmEdit, 1);
    qualityBox->addLayout(range);
    qualityBox->addWidget(screen.processInformationButton);
    for (QLabel* figure : {screen.band1Label, screen.band2Label, screen.band3Label, screen.band4Label,
                           screen.nonRecordedLabel, screen.averageLabel})
        qualityBox->addWidget(figure);
    qualityBox->addWidget(screen.printGraphButton);
    return quality;
}

// The TGI bounds of the track share, CALC TRACK % BETWEEN TGIs and its answer.
QGroupBox* buildShareGroup(AnalyserScreen& screen) {
    auto* share = new QGroupBox(AnalyserScreen::tr("Track share"), &screen);
    auto* shareGrid = new QGridLayout(share);
    shareGrid->setVerticalSpacing(3);
    shareGrid->addWidget(caption(share, AnalyserScreen::tr("TGI VALUE (Low)"), screen.shareLowEdit), 0, 0);
    shareGrid->addWidget(screen.shareLowEdit, 0, 1);
    shareGrid->addWidget(screen.shareHighEdit, 0, 2);
    shareGrid->addWidget(caption(share, AnalyserScreen::tr("TGI VALUE (High)"), screen.shareHighEdit), 0, 3);
    shareGrid->addWidget(screen.calcTrackShareButton, 1, 0, 1, 4);
    shareGrid->addWidget(screen.trackShareLabel, 2, 0, 1, 4);
    return share;
}

// The listing with its choice of index and bounds and its three operations, the chart in the
// listing's place.
QGroupBox* buildListingGroup(AnalyserScreen& screen) {
    auto* listing = new QGroupBox(AnalyserScreen::tr("Blocks"), &screen);
    auto* listingBox = new QVBoxLayout(listing);
    listingBox->setSpacing(4);
    auto* choice = new QHBoxLayout;
    choice->addWidget(label(listing, "detailedForLabel", AnalyserScreen::tr("DETAILED  INFORMATION  FOR")));
    choice->addWidget(screen.indexCombo);
    choice->addWidget(label(listing, "betweenLabel", AnalyserScreen::tr("TGI  BETWEEN")));
    choice->addSpacing(8);
    choice->addWidget(caption(listing, AnalyserScreen::tr("LOW"), screen.lowTgiEdit));
    choice->addWidget(screen.lowTgiEdit);
    choice->addWidget(label(listing, "andLabel", AnalyserScreen::tr("and")));
    choice->addWidget(screen.highTgiEdit);
    choice->addWidget(caption(listing, AnalyserScreen::tr("HIGH"), screen.highTgiEdit));
    choice->addStretch(1);
    listingBox->addLayout(choice);
    // The listing's three operations side by side above it.
    auto* operations = new QHBoxLayout;
    operations->addWidget(screen.showDetailsButton);
    operations->addWidget(screen.printDetailsButton);
    operations->addWidget(screen.saveDetailsButton);
    operations->addStretch(1);
    listingBox->addLayout(operations);
    screen.listingHeaderList->setFixedHeight(screen.listingHeaderList->heightForRows(1));
    listingBox->addWidget(screen.listingHeaderList);
    screen.listingArea = new QStackedWidget(listing);
    screen.listingArea->setObjectName(QStringLiteral("listingArea"));
    screen.listingArea->addWidget(screen.listingList);
    screen.listingArea->addWidget(screen.qualityChart);
    screen.listingArea->setCurrentWidget(screen.qualityChart);
    listingBox->addWidget(screen.listingArea, 1);
    return listing;
}

// The raw data of the block picked in the listing.
QGroupBox* buildRawGroup(AnalyserScreen& screen) {
    QTableWidget* table = screen.rawValuesTable;
    auto* raw = new QGroupBox(AnalyserScreen::tr("Recorded values of the picked block"), &screen);
    auto* rawBox = new QVBoxLayout(raw);
    rawBox->setSpacing(2);
    // The names and three value rows, with room for the sideways scroll bar of a narrow display.
    const int rowHeight = table->verticalHeader()->defaultSectionSize();
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() + rowHeight * 3 +
                          table->horizontalScrollBar()->sizeHint().height() + 2 * table->frameWidth());
    rawBox->addWidget(table);
    return raw;
}

} // namespace

void AnalyserScreen::buildLayout() {
    // Left: the run file, its header data, the range and the quality figures.
    auto* left = new QVBoxLayout;
    left->setSpacing(6);
    left->addWidget(buildRunGroup(*this));
    left->addWidget(buildQualityGroup(*this));
    left->addWidget(buildShareGroup(*this));
    left->addStretch(1);
    left->addWidget(goToMainButton);

    // Right: the listing with its choice of index and bounds, the chart in the listing's place,
    // and the raw data of the block picked in the listing.
    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    right->addWidget(buildListingGroup(*this), 1);
    right->addWidget(buildRawGroup(*this));

    auto* columns = new QHBoxLayout;
    columns->setSpacing(8);
    columns->addLayout(left, 0);
    columns->addLayout(right, 1);

    widgets::headedPage(this, titleBand, creditLabel)->addLayout(columns, 1);

    for (QLineEdit* bound : {lowTgiEdit, highTgiEdit, shareLowEdit, shareHighEdit})
        bound->setFixedWidth(56);
    for (QLineEdit* km : {startKmEdit, endKmEdit})
        km->setFixedWidth(80);
    runFileEdit->setMinimumWidth(220);
}

void AnalyserScreen::setTabOrderAsSeen() {
    const std::vector<QWidget*> order = {runFileEdit,
                                         browseRunFileButton,
                                         recentRunFilesButton,
                                         outputFileEdit,
                                         browseOutputFileButton,
                                         processDataButton,
                                         startKmEdit,
                                         endKmEdit,
                                         processInformationButton,
                                         printGraphButton,
                                         shareLowEdit,
                                         shareHighEdit,
                                         calcTrackShareButton,
                                         goToMainButton,
                                         indexCombo,
                                         lowTgiEdit,
                                         highTgiEdit,
                                         showDetailsButton,
                                         printDetailsButton,
                                         saveDetailsButton,
                                         listingList,
                                         rawValuesTable};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

} // namespace kestrana::gui::analyser
