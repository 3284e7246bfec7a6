#pragma once
// The peak analyser screen under test: a private home folder per test, a fresh program session, the
// screen opened from the navigator, and helpers to write runs, type, click and read the columns.

// The core's headers come before any Qt header (Qt's `record` macro).
#include "core/peaks/print.h"
#include "core/peaks/session.h"
#include "core/peaks_fixtures.h"
#include "run_generator.h"

#include "gui/app/navigator.h"
#include "gui/peaks/peak_screen.h"
#include "gui/services/message_box.h"
#include "gui/services/resolution_switch.h"
#include "gui_test_support.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace kestrana::test {

class PeakScreenTest : public ::testing::Test {
protected:
    using PeakScreen = kestrana::gui::peaks::PeakScreen;

    void SetUp() override {
        QDir().mkpath(QString::fromStdString(home_));
        // The main menu, shown again by GO TO MAIN, asks nothing on a display of 1024 x 768.
        kestrana::gui::services::ResolutionSwitch::fakeDisplay({1024, 768}, false);
        kestrana::peaks::programPeakSession() = kestrana::peaks::PeakSession{};
    }
    void TearDown() override {
        kestrana::gui::app::Navigator::closeAll();
        kestrana::peaks::programPeakSession() = kestrana::peaks::PeakSession{};
    }

    PeakScreen* openScreen() {
        auto* screen = qobject_cast<PeakScreen*>(
            kestrana::gui::app::Navigator::show(kestrana::gui::app::Screen::PeakAnalyser));
        if (screen != nullptr) {
            screen->titleTimer->stop(); // the title's ticks are driven by hand where a test wants them
            EXPECT_TRUE(QTest::qWaitForWindowExposed(screen));
        }
        return screen;
    }

    // Writes a run file under the home folder and returns its path.
    std::string writeRun(const std::string& name, const std::string& text) {
        const std::string path = folder_.file("home/" + name);
        QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
        writeFile(path, text);
        return path;
    }
    // The run at the screen's default path, <home>/bbb/shtd0201.run.
    std::string writeDefaultRun(const std::string& text) { return writeRun("bbb/shtd0201.run", text); }

    static void type(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    static void typeParameter(PeakScreen* screen, const QString& text) {
        type(screen->parameterCombo->lineEdit(), text);
    }
    // A name typed into the combo and entered, as a pick from its list.
    static void chooseByTyping(PeakScreen* screen, const QString& text) {
        typeParameter(screen, text);
        QTest::keyClick(screen->parameterCombo->lineEdit(), Qt::Key_Return);
    }
    static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // PROCESS DATA on the file in runFileEdit, then SHOW DETAILS with the km range typed.
    static void processAndShow(PeakScreen* screen, const QString& from, const QString& to) {
        click(screen->processDataButton);
        type(screen->kmRangeEdits[0], from);
        type(screen->kmRangeEdits[1], to);
        click(screen->showDetailsButton);
    }

    static kestrana::peaks::ColumnLists listsOf(const PeakScreen* screen) {
        kestrana::peaks::ColumnLists lists;
        for (std::size_t i = 0; i < lists.size(); ++i)
            for (const QString& entry : screen->resultLists[i]->entries())
                lists[i].push_back(entry.toStdString());
        return lists;
    }

    static QStringList messages() { return kestrana::gui::services::MessageBox::shownTexts(); }

    TempFolder folder_;
    std::string home_ = folder_.file("home");
    ScopedEnv homeEnv_{"KESTRANA_HOME", home_};
    ScopedEnv printEnv_{"KESTRANA_PRINT_TO", folder_.file("prints")};
};

// A small run written by hand: three kilometres from 120, UN2L (code 6) and GAUGE (code 3) peaks.
// UN2L: km 120 opens with 18 and 16 above 15; km 121 opens with 15, equal to the limit; km 122 has
// all eight pairs above 15.
inline const std::string kHandRun =
    "95,7,230224,0815,TRC\r\n"
    "91,0034,NR,KM,  SHEGAON - BADNERA UP LINE   ,END\r\n"
    "60,120,121,\r\n"
    "67,6,18,350,16,12,15,400,14,500,13,600,12,700,11,800,10,900,8\r\n"
    "67,3,7,100,6,200,5,300,4,400,3,500,2,600,1,700,0,800,7\r\n"
    "60,121,122,\r\n"
    "67,6,15,111,20,222,19,333,18,444,17,555,16,666,15,777,14,888,8\r\n"
    "67,3,9,101,8,202,7,303,6,404,5,505,4,606,3,707,2,808,8\r\n"
    "60,122,123,\r\n"
    "67,6,30,1234,29,2345,28,3456,27,4567,26,5678,25,6789,24,7890,23,8901,8\r\n"
    "67,3,5,111,4,222,3,333,2,444,1,555,0,666,0,777,0,888,5\r\n";

} // namespace kestrana::test
