#pragma once
// The analyser screen under test: opened through the navigator as the menu opens it, driven by
// clicks on its real buttons and typing into its real boxes, with run files written by the test
// (hand-made ones for the worked examples, generated ones for a whole road).

#include "gui/analyser/analyser_screen.h"
#include "gui/app/navigator.h"
#include "gui/services/message_box.h"
#include "gui/services/resolution_switch.h"
#include "gui/widgets/list_box.h"
#include "gui_test_support.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace kestrana::test::analyser_screen_support {

using gui::analyser::AnalyserScreen;
using gui::widgets::ListBox;

// One block line of a hand-made run: code 68, the block number, eleven channel SDs of 1.0, the TGI,
// speed 80, ride indices 0.05 and 2.50 and the four sub-indices.
struct HandBlock {
    int block = 1;
    int tgi = 0;
    int tgiu = 0, tgiw = 0, tgig = 0, tgil = 0;
};

struct HandKm {
    int kmFrom;
    int kmTo;
    std::vector<HandBlock> blocks;
};

// A run with a "95" line (run number at position 4, date at 6 to 11) unless runNumber is 0, and a
// "91" line with the section from position 15.
inline std::string handRun(const std::vector<HandKm>& kms, char runNumber = '7',
                           const std::string& date = "040526",
                           const std::string& section = "ITARSI - BHOPAL DOWN MAIN LINE") {
    std::string text = runNumber == 0 ? "" : std::string("95 ") + runNumber + " " + date + " TRC RUN\r\n";
    text += "91" + std::string(12, ' ') + section + "\r\n";
    for (const HandKm& km : kms) {
        text += "60," + std::to_string(km.kmFrom) + "," + std::to_string(km.kmTo) + ",\r\n";
        for (const HandBlock& b : km.blocks) {
            text += "68," + std::to_string(b.block) + ",10,10,10,10,10,10,10,10,10,10,10," +
                    std::to_string(b.tgi) + ",80,0,5,250," + std::to_string(b.tgiu) + "," +
                    std::to_string(b.tgiw) + "," + std::to_string(b.tgig) + "," + std::to_string(b.tgil) +
                    ",0\r\n";
        }
    }
    return text;
}

// A listing row for non-negative values of usual width: km from and to as 4 digits, the block
// number as 1, the five indices as 3, spaced 2, 4, 7, 11, 9, 7, 7, 7.
inline std::string expectedRow(int kmFrom, int kmTo, int block, int tgi, int tgiu, int tgiw, int tgig,
                               int tgil) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer,
                  "  %04d    %04d       %d           %03d         %03d       %03d       %03d       %03d",
                  kmFrom, kmTo, block, tgi, tgiu, tgiw, tgig, tgil);
    return buffer;
}

inline QString q(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}
inline std::string s(const QString& text) {
    return text.toLatin1().toStdString();
}

// The worked example (ten blocks: TGI 0 twice, 20, 40 three times each, 90 twice) over km 100 to
// 110, one block per kilometre.
inline std::string exampleRun() {
    std::vector<HandKm> kms;
    const std::vector<int> tgis = {0, 20, 20, 20, 40, 40, 40, 90, 90, 0};
    for (std::size_t i = 0; i < tgis.size(); ++i) {
        const int km = 100 + static_cast<int>(i);
        kms.push_back({km, km + 1, {{1, tgis[i], tgis[i] / 2, tgis[i] / 4, 7, tgis[i] == 90 ? 123 : 5}}});
    }
    return handRun(kms);
}

class AnalyserScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A display at the designed size: the menu asks nothing when GO TO MAIN loads it again.
        gui::services::ResolutionSwitch::fakeDisplay({1024, 768}, false);
    }

    AnalyserScreen* open() {
        auto* screen = qobject_cast<AnalyserScreen*>(gui::app::Navigator::show(gui::app::Screen::Analyser));
        screen->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen));
        return screen;
    }

    std::string writeRun(const std::string& name, const std::string& text) {
        const std::string path = folder.file(name);
        writeFile(path, text);
        return path;
    }

    static void type(QLineEdit* box, const std::string& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, q(text));
    }

    static void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    static void clickEntry(ListBox* list, int row) {
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    }

    // PROCESS DATA on a run file, writing its SD output beside it.
    void process(AnalyserScreen* screen, const std::string& runPath) {
        type(screen->runFileEdit, runPath);
        type(screen->outputFileEdit, folder.file("sd-output.txt"));
        click(screen->processDataButton);
    }

    // PROCESS DATA, PROCESS INFORMATION over the whole run and SHOW DETAILS with the defaults.
    void processToDetails(AnalyserScreen* screen, const std::string& runPath) {
        process(screen, runPath);
        click(screen->processInformationButton);
        click(screen->showDetailsButton);
    }

    static QStringList messages() { return gui::services::MessageBox::shownTexts(); }

    // GO TO MAIN, with the closed screen deleted as the event loop would.
    static void goToMain(AnalyserScreen* screen) {
        click(screen->goToMainButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TempFolder folder;
};

} // namespace kestrana::test::analyser_screen_support
