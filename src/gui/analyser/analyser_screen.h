// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The index analyser screen `AnalyserScreen`: one recorded run, from PROCESS DATA to the quality figures and
// chart, the block listing, the raw data of a listed block, the track share and the hard copies.
//
// It is opened and closed (GO TO MAIN, `goToMainButton`) through app::Navigator, which deletes it
// when it closes, so everything that must outlive it (the processed run, the range, the
// figures and the bounds, the credit line's counter) lives in the core's analyserSession(); a screen
// opened again starts with every dependent button off, its controls at their design texts but for
// the files, the bounds and the index the user left, and its size and place (services::rememberScreen).
//
// Every figure and text shown comes from the core (src/core/analyser); the handlers only carry
// texts between the controls and the core and show the core's refusals in a message box.
// The controls are built in analyser_screen_layout.cpp, the handlers live in analyser_screen.cpp.

#include "core/analyser/raw_view.h"
#include "core/analyser/reports.h"
#include "core/analyser/screen_state.h"
#include "gui/services/file_dialog.h"
#include "gui/widgets/title_band.h"

#include <QStringList>
#include <QWidget>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QTimer;
class QToolButton;

namespace kestrana::gui::widgets {
class BarChart;
class ListBox;
} // namespace kestrana::gui::widgets

namespace kestrana::gui::analyser {

class AnalyserScreen : public QWidget {
    Q_OBJECT
public:
    explicit AnalyserScreen(QWidget* parent = nullptr);

    // Handlers, one operation each.
    void load();
    void processData();        // PROCESS DATA
    void processInformation(); // PROCESS INFORMATION
    void showDetails();        // SHOW DETAILS
    void calcTrackShare();     // CALC TRACK % BETWEEN TGIs
    void printDetails();       // PRINT DETAILS
    void goToMain();           // GO TO MAIN
    void printGraph();         // PRINT GRAPH
    void browseRunFile();      // Browse for the run file
    void browseOutputFile();   // Browse for the SD output file
    void saveDetails();        // SAVE DETAILS
    void runFileChanged();
    void listingEntryClicked();
    void scrollTitle();       // title band
    void advanceCreditLine(); // credit line
    // Run files given on the command line or dropped on the screen: the run file box takes the one.
    void takeRunFiles(const QStringList& paths);

    // Input files and processing.
    QLineEdit* runFileEdit = nullptr;    // run file
    QLineEdit* outputFileEdit = nullptr; // SD output file
    QPushButton* browseRunFileButton = nullptr;
    QPushButton* browseOutputFileButton = nullptr;
    QToolButton* recentRunFilesButton = nullptr; // the run files processed last
    QPushButton* processDataButton = nullptr;
    // The run as PROCESS DATA shows it.
    QLineEdit* runDateEdit = nullptr;
    QLineEdit* runNumberEdit = nullptr;
    QLabel* sectionLabel = nullptr;
    QLineEdit* kmFromEdit = nullptr;
    QLineEdit* kmToEdit = nullptr;
    // The analysis range and the quality distribution.
    QLineEdit* startKmEdit = nullptr;
    QLineEdit* endKmEdit = nullptr;
    QPushButton* processInformationButton = nullptr;
    QLabel* band1Label = nullptr; // band 1 .. band 4
    QLabel* band2Label = nullptr;
    QLabel* band3Label = nullptr;
    QLabel* band4Label = nullptr;
    QLabel* nonRecordedLabel = nullptr; // non-recorded track
    QLabel* averageLabel = nullptr;
    QPushButton* printGraphButton = nullptr;
    // The block listing.
    QComboBox* indexCombo = nullptr;
    QLineEdit* lowTgiEdit = nullptr;  // LOW
    QLineEdit* highTgiEdit = nullptr; // HIGH
    QPushButton* showDetailsButton = nullptr;
    widgets::ListBox* listingHeaderList = nullptr; // header
    widgets::ListBox* listingList = nullptr;       // rows and separators
    widgets::BarChart* qualityChart = nullptr;
    QStackedWidget* listingArea = nullptr; // qualityChart over listingList, one of them showing
    QPushButton* printDetailsButton = nullptr;
    QPushButton* saveDetailsButton = nullptr;
    // The raw data of a listed block.
    // One row per matching block under the fourteen channel names: names and values are one table,
    // so they scroll together.
    QTableWidget* rawValuesTable = nullptr;
    // The track share.
    QLineEdit* shareLowEdit = nullptr;  // TGI VALUE (Low)
    QLineEdit* shareHighEdit = nullptr; // TGI VALUE (High)
    QPushButton* calcTrackShareButton = nullptr;
    QLabel* trackShareLabel = nullptr;
    // Navigation and decoration.
    QPushButton* goToMainButton = nullptr;
    widgets::TitleBand* titleBand = nullptr; // the band the title moves through
    QLabel* titleLabel = nullptr;            // the title moving through it
    QLabel* creditLabel = nullptr;           // the credit line
    QTimer* titleTimer = nullptr;
    QTimer* creditTimer = nullptr;
    // The file dialog shared by both Browse buttons and SAVE DETAILS.
    services::FileDialog fileDialog{this};

private:
    void buildControls();
    void buildLayout();
    void setTabOrderAsSeen();
    void connectHandlers();
    void applyButtonStates();
    void withdrawResults();
    void showRawView(const kestrana::analyser::RawView& view);
    // What PRINT DETAILS and SAVE DETAILS read: the listing shown, indexCombo as it stands now.
    kestrana::analyser::DetailsReport detailsReport() const;

    kestrana::analyser::AnalyserButtons buttons_;
    // The listing shown in listingHeaderList and listingList, as the core built it (the hard copies and the
    // saved report are made from it).
    std::string listedHeader_;
    std::vector<std::string> listedEntries_;
};

} // namespace kestrana::gui::analyser
