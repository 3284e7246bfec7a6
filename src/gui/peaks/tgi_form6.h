#pragma once
// The peak analyser screen `tgi_form6`: PROCESS DATA loads the peak lines of one run into the peak
// database, SHOW DETAILS lists, over at most 50 km, the kilometres whose first peak of the chosen
// parameter exceeds the limiting value, and PRINT DETAILS prints that listing.
//
// The main menu opens it through app::Navigator::show(); GO TO MAIN (`Command5`) calls
// app::Navigator::goToMain(this), which shows the menu and closes this screen. The Navigator deletes
// the screen when it closes; what the analyser keeps between its operations (the run's header
// lines, record width and direction, the chosen parameter, the last share and total) is the core's
// programPeakSession(), which lives as long as the program. A screen opened again starts its controls
// from their design texts.
//
// Every text shown comes from the core (src/core/peaks); the handlers carry texts between the
// controls and the core and show the core's messages. The controls are built in
// tgi_form6_layout.cpp, the handlers live in tgi_form6.cpp.

#include "gui/peaks/column_area.h"
#include "gui/platform/file_dialog.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace kestrana::peaks {
struct PeakFiles;
}

namespace kestrana::gui::peaks {

class tgi_form6 : public QWidget {
    Q_OBJECT
public:
    // The title's scroll step.
    static constexpr int kTitleIntervalMs = 10;

    explicit tgi_form6(QWidget* parent = nullptr);

    // Handlers, one operation each.
    void Form_Load();
    void Combo1_Click();   // a parameter picked from the list
    void Command1_Click(); // PROCESS DATA
    void Command2_Click(); // SHOW DETAILS
    void Command3_Click(); // PRINT DETAILS
    void Command4_Click(); // BROWSE
    void Command5_Click(); // GO TO MAIN
    void List1_Scroll(int index);
    void Timer1_Timer();

    // The title band and the title moving through it.
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    // The run file.
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command1 = nullptr;
    // The processed run: section, date, km range.
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    // The query: parameter, limiting value, km range.
    std::array<QLabel*, 2> Label2{}; // "Parameter", "Parameter Limiting Value"
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text2 = nullptr;
    std::array<QLabel*, 2> Label3{};   // "Km - From", "Km - to"
    std::array<QLineEdit*, 2> Text3{}; // Km - From, Km - to
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command5 = nullptr;
    // The result columns and the summary.
    QLabel* Label4 = nullptr; // column header
    ColumnListArray List1{};
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    // The wait label while PROCESS DATA or SHOW DETAILS runs.
    QLabel* Label12 = nullptr;
    QTimer* Timer1 = nullptr;
    QLineEdit* Text4 = nullptr; // used by no operation; kept hidden
    platform::FileDialog cd1{this};

    // The title's left edge inside the band, in twips (15 to a pixel).
    int titleLeftTwips() const { return titleLeftTwips_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void buildLayout();
    void connectHandlers();
    void showWaitLabel(const QString& caption);
    void placeTitle();

    ColumnArea* columnArea_ = nullptr;
    // True while List1_Scroll moves the coupled lists, so their own scroll signals are not handled
    // as scrolls of the user.
    bool coupling_ = false;
    // The title's left edge in the band (twips); placed at the band's right end on the first tick.
    int titleLeftTwips_ = 0;
    bool titlePlaced_ = false;
};

} // namespace kestrana::gui::peaks
