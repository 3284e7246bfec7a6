// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The peak analyser screen `PeakScreen`: PROCESS DATA loads the peak lines of one run into the peak
// database, SHOW DETAILS lists, over at most 50 km, the kilometres whose first peak of the chosen
// parameter exceeds the limiting value, and PRINT DETAILS prints that listing.
//
// It is opened and closed (GO TO MAIN, `goToMainButton`) through app::Navigator, which deletes it
// when it closes; what the analyser keeps between its operations (the run's header
// lines, record width and direction, the chosen parameter, the last share and total) is the core's
// programPeakSession(), which lives as long as the program. A screen opened again starts its controls
// from their design texts, but for the run file, the parameter and its limit, and its size and
// place, which come back as the user left them (services::rememberScreen).
//
// Every text shown comes from the core (src/core/peaks); the handlers carry texts between the
// controls and the core and show the core's messages. The controls are built in
// peak_screen_layout.cpp, the handlers live in peak_screen.cpp.

#include "gui/peaks/column_area.h"
#include "gui/services/file_dialog.h"
#include "gui/widgets/title_band.h"

#include <QStringList>
#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace kestrana::peaks {
struct PeakFiles;
}

namespace kestrana::gui::peaks {

class PeakScreen : public QWidget {
    Q_OBJECT
public:
    explicit PeakScreen(QWidget* parent = nullptr);

    // Handlers, one operation each.
    void load();
    void parameterChosen(); // a parameter picked from the list
    void processData();     // PROCESS DATA
    void showDetails();     // SHOW DETAILS
    void printDetails();    // PRINT DETAILS
    void browseRunFile();   // BROWSE
    void goToMain();        // GO TO MAIN
    void resultListScrolled(int index);
    void scrollTitle();
    // Run files given on the command line or dropped on the screen: the run file box takes the one.
    void takeRunFiles(const QStringList& paths);

    // The title band and the title moving through it.
    widgets::TitleBand* titleBand = nullptr;
    QLabel* titleLabel = nullptr;
    // The run file.
    QLabel* runFileLabel = nullptr;
    QLineEdit* runFileEdit = nullptr;
    QPushButton* browseButton = nullptr;
    QToolButton* recentRunFilesButton = nullptr; // the run files processed last
    QPushButton* processDataButton = nullptr;
    // The processed run: section, date, km range.
    QLabel* sectionLabel = nullptr;
    QLabel* runDateLabel = nullptr;
    QLabel* kmRangeLabel = nullptr;
    // The query: parameter, limiting value, km range.
    std::array<QLabel*, 2> parameterCaptions{}; // "Parameter", "Parameter Limiting Value"
    QComboBox* parameterCombo = nullptr;
    QLineEdit* limitEdit = nullptr;
    std::array<QLabel*, 2> kmCaptions{};      // "Km - From", "Km - to"
    std::array<QLineEdit*, 2> kmRangeEdits{}; // Km - From, Km - to
    QPushButton* showDetailsButton = nullptr;
    QPushButton* printDetailsButton = nullptr;
    QPushButton* goToMainButton = nullptr;
    // The result columns and the summary.
    QLabel* columnHeaderLabel = nullptr; // column header
    ColumnListArray resultLists{};
    QLabel* kmCountLabel = nullptr;
    QLabel* peakCountLabel = nullptr;
    // The wait label while PROCESS DATA or SHOW DETAILS runs.
    QLabel* waitLabel = nullptr;
    QTimer* titleTimer = nullptr;
    QLineEdit* spareEdit = nullptr; // used by no operation; kept hidden
    services::FileDialog fileDialog{this};

private:
    void buildControls();
    void buildLayout();
    void connectHandlers();
    void showWaitLabel(const QString& caption);
    void showHeldRun();
    void withdrawResults();
    void clearResultLists();

    ColumnArea* columnArea_ = nullptr;
    // True while resultListScrolled moves the coupled lists, so their own scroll signals are not handled
    // as scrolls of the user.
    bool coupling_ = false;
};

} // namespace kestrana::gui::peaks
