#pragma once
// The main menu `frmmain`: the program starts on it. Its load step (run by the constructor) offers to
// switch the display to 1024 x 768; its buttons open the three working screens through the
// Navigator; Quit (`Command3`) - or closing the window by its own close control - puts the display
// back to the size it had when the question was answered Yes. The title blinks by `Timer1`.

#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace kestrana::gui::app {

// What the menu keeps for the whole program, across its loads: the display size read at the last
// load and the answer to the display question ("" when it was never asked, "6" Yes, "7" No). The
// answer changes only when the question is asked.
struct MenuState {
    std::int16_t savedHeight = 0;
    std::int16_t savedWidth = 0;
    QString answer;
};

class frmmain : public QWidget {
    Q_OBJECT
public:
    explicit frmmain(QWidget* parent = nullptr);

    static MenuState& state();
    static void resetState();

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Timer1_Timer();
    void openTrackHistory();

    QPushButton* Command1 = nullptr; // opens the index analyser form1
    QPushButton* Command2 = nullptr; // opens the run comparator form2
    QPushButton* Command3 = nullptr; // quit
    QPushButton* Command4 = nullptr; // opens the peak analyser tgi_form6
    QPushButton* historyButton = nullptr;
    QLineEdit* Text1 = nullptr;      // "F1-HELP"
    std::array<QLabel*, 2> Label5{}; // the blinking title, in two faces
    QTimer* Timer1 = nullptr;
    QLabel* Picture1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void centreIn(const QRect& area);
    void restoreDisplay();
};

} // namespace kestrana::gui::app
