#pragma once
// The run comparator screen `form2`: the current run and one to three older runs of the same line,
// loaded into the run database by PROCESS DATA, compared block by block and as kilometre averages by
// COMPARE, and put on paper or in a text file by the three hard-copy buttons.
//
// The main menu opens it through app::Navigator::show(); GO TO MAIN (`Command4`) calls
// app::Navigator::goToMain(this), which shows the menu and closes this screen. The Navigator deletes
// the screen when it closes, so what must outlive it (the number of older runs n, the run slots, the
// section, start km and direction of the build, the credit line's counter) lives in the core's
// comparatorSession() and in the credit line kept by form2.cpp. A screen opened again starts its
// controls from their design texts: Text3 shows "0" while n keeps its value until Text3 is edited.
//
// Every text shown comes from the core (src/core/comparator); the handlers only carry texts between
// the controls and the core and show the core's messages in message boxes.
// The controls are built in form2_layout.cpp, the handlers live in form2.cpp.

#include "gui/platform/file_dialog.h"

#include <QWidget>

#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The comparator core's types are only named here; form2.cpp includes their headers.
namespace kestrana::comparator {
struct ComparisonListing;
struct ReportInputs;
} // namespace kestrana::comparator

namespace kestrana::gui::platform {
class LineChart;
class ListBox;
} // namespace kestrana::gui::platform

namespace kestrana::gui::comparator {

class form2 : public QWidget {
    Q_OBJECT
public:
    // The title's scroll step and the credit line's pace.
    static constexpr int kTitleIntervalMs = 10;
    static constexpr int kCreditIntervalMs = 200;

    explicit form2(QWidget* parent = nullptr);
    ~form2() override;

    // Handlers, one operation each.
    void Form_Load();
    void Command1_Click();          // COMPARE
    void Command2_Click();          // PROCESS DATA
    void Command3_Click();          // PRINT DETAILS
    void Command4_Click();          // GO TO MAIN
    void Command5_Click();          // PRINT GRAPH
    void Command6_Click(int index); // Browse for the run file of slot `index`
    void Command7_Click();          // SAVE DETAILS
    void Text3_Change();            // the number of older runs
    void Combo1_Click();            // a parameter chosen from the list
    void List4_Scroll();            // the block column scrolled: the value columns follow
    void Timer1_Timer();            // title scroll
    void Timer2_Timer();            // credit line

    // The run slots: heading, path box, Browse and the km caption under the path box.
    std::array<QLabel*, 4> Label3{};
    std::array<QLineEdit*, 4> Text1{};
    std::array<QPushButton*, 4> Command6{};
    std::array<QLabel*, 4> Label6{};
    // The number of older runs and the compared parameter.
    QLabel* Label5 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label8 = nullptr;
    QComboBox* Combo1 = nullptr;
    // The km range of the comparison.
    std::array<QLabel*, 2> Label4{};
    std::array<QLineEdit*, 2> Text2{};
    // The operations.
    QPushButton* Command2 = nullptr; // PROCESS DATA
    QPushButton* Command1 = nullptr; // COMPARE
    QPushButton* Command3 = nullptr; // PRINT DETAILS
    QPushButton* Command5 = nullptr; // PRINT GRAPH
    QPushButton* Command7 = nullptr; // SAVE DETAILS
    QPushButton* Command4 = nullptr; // GO TO MAIN
    // The comparison listing: headings over the block column and the value columns.
    platform::ListBox* List3 = nullptr;
    std::array<platform::ListBox*, 4> List1{};
    platform::ListBox* List4 = nullptr;
    std::array<platform::ListBox*, 4> List2{};
    platform::LineChart* MSChart1 = nullptr;
    // Decoration: the title moving across its band, the credit line.
    QLabel* Label1 = nullptr; // the band (reference edge of the title)
    QLabel* Label2 = nullptr; // the title
    QLabel* Label7 = nullptr; // the credit line
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    // The file dialog shared by the Browse buttons and SAVE DETAILS.
    platform::FileDialog cd1{this};

private:
    void buildControls();
    void buildLayout();
    void setTabOrderAsSeen();
    void connectHandlers();
    void setSlotEnabled(int slot, bool enabled);
    void showListing(const kestrana::comparator::ComparisonListing& listing);
    // What the hard copies and the saved report read from the screen as it stands.
    kestrana::comparator::ReportInputs reportInputs() const;

    // The listing shown in the lists, as the core built it (the hard copies and the report are made
    // from it).
    std::unique_ptr<kestrana::comparator::ComparisonListing> listed_;
    // The title's left edge inside its band in twips, once the first tick has placed it.
    int titleLeftTwips_ = 0;
    bool titlePlaced_ = false;
};

} // namespace kestrana::gui::comparator
