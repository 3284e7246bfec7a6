// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The main menu `MainMenu`: the program starts on it. Its load step (run by the constructor) offers to
// switch a display smaller than 1024 x 768 to that size, where the display can be switched, unless
// the user asked not to be asked again; its buttons open the four working screens through the
// Navigator; Quit (`quitButton`) - or closing the window by its own close control - puts the display
// back to the size it had when the question was answered Yes. The title blinks by `blinkTimer`.

#include <QRect>
#include <QSize>
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

class MainMenu : public QWidget {
    Q_OBJECT
public:
    explicit MainMenu(QWidget* parent = nullptr);

    static MenuState& state();
    static void resetState();

    void load();
    void openAnalyser();
    void openComparator();
    void quit();
    void openPeakAnalyser();
    void blinkTitle();
    void openTrackHistory();

    QPushButton* analyserButton = nullptr;     // opens the index analyser AnalyserScreen
    QPushButton* comparatorButton = nullptr;   // opens the run comparator ComparatorScreen
    QPushButton* quitButton = nullptr;         // quit
    QPushButton* peakAnalyserButton = nullptr; // opens the peak analyser PeakScreen
    QPushButton* historyButton = nullptr;      // opens the track history HistoryScreen
    QLineEdit* helpHintEdit = nullptr;         // "F1-HELP"
    std::array<QLabel*, 2> titleFaces{};       // the blinking title, in two faces
    QTimer* blinkTimer = nullptr;
    QLabel* pictureBox = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    // The menu's designed size.
    static constexpr QSize kMenuSize{880, 700};
    void centreIn(const QRect& area);
    void restoreDisplay();
    void switchToDesignSize();
};

} // namespace kestrana::gui::app
