#pragma once
// The index analyser screen `form1`: one recorded run, from PROCESS DATA to the quality figures and
// chart, the block listing, the raw data of a listed block, the track share and the hard copies.
//
// The main menu opens it through app::Navigator::show(); GO TO MAIN (`Command6`) calls
// app::Navigator::goToMain(this), which shows the menu and closes this screen. The Navigator deletes
// the screen when it closes, so everything that must outlive it (the processed run, the range, the
// figures and the bounds, the credit line's counter) lives in the core's analyserSession(); a screen
// opened again starts its controls from their design texts with every dependent button off.
//
// Every figure and text shown comes from the core (src/core/analyser); the handlers only carry
// texts between the controls and the core and show the core's refusals in a message box.
// The controls are built in form1_layout.cpp, the handlers live in form1.cpp.

#include "analyser/reports.h"
#include "analyser/screen_state.h"
#include "gui/platform/file_dialog.h"

#include <QWidget>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTimer;

namespace kestrana::gui::platform {
class BarChart;
class ListBox;
} // namespace kestrana::gui::platform

namespace kestrana::gui::analyser {

class form1 : public QWidget {
    Q_OBJECT
public:
    // The title band's scroll step and the credit line's pace.
    static constexpr int kTitleIntervalMs = 10;
    static constexpr int kCreditIntervalMs = 200;

    explicit form1(QWidget* parent = nullptr);

    // Handlers, one operation each.
    void Form_Load();
    void Command1_Click();  // PROCESS DATA
    void Command2_Click();  // PROCESS INFORMATION
    void Command3_Click();  // SHOW DETAILS
    void Command4_Click();  // CALC TRACK % BETWEEN TGIs
    void Command5_Click();  // PRINT DETAILS
    void Command6_Click();  // GO TO MAIN
    void Command7_Click();  // PRINT GRAPH
    void Command8_Click();  // Browse for the run file
    void Command9_Click();  // Browse for the SD output file
    void Command10_Click(); // SAVE DETAILS
    void Text1_Change();
    void List1_Click();
    void Timer1_Timer(); // title band
    void Timer2_Timer(); // credit line

    // Input files and processing.
    QLineEdit* Text1 = nullptr; // run file
    QLineEdit* Text2 = nullptr; // SD output file
    QPushButton* Command8 = nullptr;
    QPushButton* Command9 = nullptr;
    QPushButton* Command1 = nullptr;
    // The run as PROCESS DATA shows it.
    QLineEdit* txtrundate = nullptr;
    QLineEdit* txtrunno = nullptr;
    QLabel* lblsection = nullptr;
    QLineEdit* txtkmfrom = nullptr;
    QLineEdit* txtkmto = nullptr;
    // The analysis range and the quality distribution.
    QLineEdit* txtskm = nullptr;
    QLineEdit* txtekm = nullptr;
    QPushButton* Command2 = nullptr;
    QLabel* Label3 = nullptr; // band 1 .. band 4
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr; // non-recorded track
    QLabel* lblavgtgi = nullptr;
    QPushButton* Command7 = nullptr;
    // The block listing.
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text3 = nullptr; // LOW
    QLineEdit* Text4 = nullptr; // HIGH
    QPushButton* Command3 = nullptr;
    platform::ListBox* List2 = nullptr; // header
    platform::ListBox* List1 = nullptr; // rows and separators
    platform::BarChart* MSChart1 = nullptr;
    QStackedWidget* listingArea = nullptr; // MSChart1 over List1, one of them showing
    QPushButton* Command5 = nullptr;
    QPushButton* Command10 = nullptr;
    // The raw data of a listed block.
    platform::ListBox* List3 = nullptr; // header
    platform::ListBox* List4 = nullptr; // one value row per matching block
    // The track share.
    QLineEdit* Text5 = nullptr; // TGI VALUE (Low)
    QLineEdit* Text6 = nullptr; // TGI VALUE (High)
    QPushButton* Command4 = nullptr;
    QLabel* Label18 = nullptr;
    // Navigation and decoration.
    QPushButton* Command6 = nullptr;
    QLabel* Label14 = nullptr; // the title band
    QLabel* Label22 = nullptr; // the title moving through it
    QLabel* Label19 = nullptr; // the credit line
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    // The file dialog shared by both Browse buttons and SAVE DETAILS.
    platform::FileDialog cd1{this};

private:
    void buildControls();
    void buildLayout();
    void setTabOrderAsSeen();
    void connectHandlers();
    void applyButtonStates();
    // What PRINT DETAILS and SAVE DETAILS read: the listing shown, Combo1 as it stands now.
    kestrana::analyser::DetailsReport detailsReport() const;

    kestrana::analyser::AnalyserButtons buttons_;
    // The listing shown in List2 and List1, as the core built it (the hard copies and the saved
    // report are made from it).
    std::string listedHeader_;
    std::vector<std::string> listedEntries_;
    // The title's left edge inside the band in twips, once the first tick has placed it.
    int titleLeftTwips_ = 0;
    bool titlePlaced_ = false;
};

} // namespace kestrana::gui::analyser
