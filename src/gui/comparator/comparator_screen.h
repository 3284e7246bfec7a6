// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The run comparator screen `ComparatorScreen`: the current run and one to three older runs of the same line,
// loaded into the run database by PROCESS DATA, compared block by block and as kilometre averages by
// COMPARE, and put on paper or in a text file by the three hard-copy buttons.
//
// It is opened and closed (GO TO MAIN, `goToMainButton`) through app::Navigator, which deletes it
// when it closes, so what must outlive it (the number of older runs n, the run slots, the
// section, start km and direction of the build, the credit line's counter) lives in the core's
// comparatorSession() and in the credit line kept by comparator_screen.cpp. A screen opened again starts its
// controls from their design texts, but for the run files, the parameter and its size and place, which
// come back as the user left them (services::rememberScreen).
//
// Every text shown comes from the core (src/core/comparator); the handlers only carry texts between
// the controls and the core and show the core's messages in message boxes.
// The controls are built in comparator_screen_layout.cpp, the handlers live in comparator_screen.cpp.

#include "gui/services/file_dialog.h"
#include "gui/widgets/title_band.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;

// The comparator core's types are only named here; comparator_screen.cpp includes their headers.
namespace kestrana::comparator {
struct ComparisonListing;
struct ReportInputs;
} // namespace kestrana::comparator

namespace kestrana::gui::widgets {
class LineChart;
class ListBox;
} // namespace kestrana::gui::widgets

namespace kestrana::gui::comparator {

class ComparatorScreen : public QWidget {
    Q_OBJECT
public:
    explicit ComparatorScreen(QWidget* parent = nullptr);
    ~ComparatorScreen() override;

    // Handlers, one operation each.
    void load();
    void compare();                   // COMPARE
    void processData();               // PROCESS DATA
    void printDetails();              // PRINT DETAILS
    void goToMain();                  // GO TO MAIN
    void printGraph();                // PRINT GRAPH
    void browseRunFile(int index);    // Browse for the run file of slot `index`
    void saveDetails();               // SAVE DETAILS
    void olderRunCountChanged();      // the number of older runs
    void parameterChosen();           // a parameter chosen from the list
    void blockListScrolled();         // the block column scrolled: the value columns follow
    void valueListScrolled(int slot); // a value column scrolled: the block column and the others follow
    void scrollTitle();               // title scroll
    void advanceCreditLine();         // credit line
    // Run files given on the command line or dropped on the screen, one to four: the first is the
    // current run, the others its older runs in order, with the number of older runs to match.
    void takeRunFiles(const QStringList& paths);

    // The run slots: heading, path box, Browse and the km caption under the path box.
    std::array<QLabel*, 4> slotHeadingLabels{};
    std::array<QLineEdit*, 4> runFileEdits{};
    std::array<QPushButton*, 4> browseButtons{};
    std::array<QToolButton*, 4> recentButtons{}; // the run files loaded last, for each slot
    std::array<QLabel*, 4> slotKmLabels{};
    // The number of older runs and the compared parameter.
    QLabel* olderRunCountLabel = nullptr;
    QLineEdit* olderRunCountEdit = nullptr;
    QLabel* parameterLabel = nullptr;
    QComboBox* parameterCombo = nullptr;
    // The km range of the comparison.
    std::array<QLabel*, 2> kmRangeLabels{};
    std::array<QLineEdit*, 2> kmRangeEdits{};
    // The operations.
    QPushButton* processDataButton = nullptr;  // PROCESS DATA
    QPushButton* compareButton = nullptr;      // COMPARE
    QPushButton* printDetailsButton = nullptr; // PRINT DETAILS
    QPushButton* printGraphButton = nullptr;   // PRINT GRAPH
    QPushButton* saveDetailsButton = nullptr;  // SAVE DETAILS
    QPushButton* goToMainButton = nullptr;     // GO TO MAIN
    // The comparison listing: headings over the block column and the value columns.
    widgets::ListBox* headingList = nullptr;
    std::array<widgets::ListBox*, 4> runDateLists{};
    widgets::ListBox* blockList = nullptr;
    std::array<widgets::ListBox*, 4> valueLists{};
    widgets::LineChart* comparisonChart = nullptr;
    // Decoration: the title moving across its band, the credit line.
    widgets::TitleBand* titleBand = nullptr; // the band the title moves through
    QLabel* titleLabel = nullptr;            // the title
    QLabel* creditLabel = nullptr;           // the credit line
    QTimer* titleTimer = nullptr;
    QTimer* creditTimer = nullptr;
    // The file dialog shared by the Browse buttons and SAVE DETAILS.
    services::FileDialog fileDialog{this};

private:
    void buildControls();
    void buildLayout();
    void setTabOrderAsSeen();
    void connectHandlers();
    void setSlotEnabled(int slot, bool enabled);
    void showListing(const kestrana::comparator::ComparisonListing& listing);
    void withdrawComparison(const kestrana::comparator::ComparisonListing& listing);
    // What the hard copies and the saved report read from the screen as it stands.
    kestrana::comparator::ReportInputs reportInputs() const;

    // The listing shown in the lists, as the core built it (the hard copies and the report are made
    // from it).
    std::unique_ptr<kestrana::comparator::ComparisonListing> listed_;
    // True while blockListScrolled moves the value columns, so their scrolls are not taken as the user's.
    bool coupling_ = false;
};

} // namespace kestrana::gui::comparator
