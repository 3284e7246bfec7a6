#pragma once
// The comparator screen under test: opened through the navigator as the menu opens it, driven by
// clicks on its real buttons and typing into its real boxes, with generated runs written to the
// default places of the four run slots in the test's home folder.

#include "core/comparator/session.h"
#include "run_generator.h"

#include "gui/app/navigator.h"
#include "gui/comparator/comparator_screen.h"
#include "gui/services/message_box.h"
#include "gui/services/resolution_switch.h"
#include "gui/widgets/list_box.h"
#include "gui_test_support.h"
#include "support/test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kestrana::test::comparator_screen_support {

using gui::comparator::ComparatorScreen;
using gui::services::MessageBox;

inline QString q(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString opened(int slot) {
    return QStringLiteral("File for TRC Run(%1) successfully opened").arg(slot);
}

// The run of slot k: the same line, ten km rising from km 120, recorded on a date of its own.
inline bench::RunRecipe slotRun(int slot) {
    bench::RunRecipe recipe;
    recipe.peakPairs = 0;
    recipe.seed = 11 + static_cast<unsigned>(slot);
    recipe.lineSeed = 7;
    recipe.date =
        std::vector<std::string>{"120326", "110325", "100324", "090323"}[static_cast<std::size_t>(slot)];
    recipe.wear = 40 - 10 * slot;
    return recipe;
}

class ComparatorScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A display at the designed size: the menu asks nothing when GO TO MAIN loads it again.
        gui::services::ResolutionSwitch::fakeDisplay({1024, 768}, false);
        // The comparator's values live as long as the program; every test starts as the program does.
        comparator::comparatorSession() = comparator::ComparatorSession{};
        home = qEnvironmentVariable("KESTRANA_HOME").toStdString();
        std::filesystem::create_directories(home + "/TRCDATA");
        for (int k = 0; k < 4; ++k)
            std::filesystem::remove(runPath(k));
    }

    std::string runPath(int slot) const { return home + "/TRCDATA/trcdata" + std::to_string(slot) + ".run"; }

    // Writes slot k's run at its default place and returns what it holds.
    bench::GeneratedRun writeRun(int slot, const bench::RunRecipe& recipe) {
        bench::GeneratedRun run = bench::generateRunWithValues(recipe);
        writeFile(runPath(slot), run.text);
        return run;
    }
    std::vector<bench::GeneratedRun> writeRuns(int count) {
        std::vector<bench::GeneratedRun> runs;
        for (int k = 0; k < count; ++k)
            runs.push_back(writeRun(k, slotRun(k)));
        return runs;
    }

    ComparatorScreen* open() {
        auto* screen =
            qobject_cast<ComparatorScreen*>(gui::app::Navigator::show(gui::app::Screen::Comparator));
        EXPECT_NE(screen, nullptr);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(screen));
        return screen;
    }

    static void type(QLineEdit* box, const std::string& text) {
        box->setFocus();
        box->selectAll();
        if (text.empty())
            QTest::keyClick(box, Qt::Key_Delete);
        else
            QTest::keyClicks(box, q(text));
    }
    static void click(QPushButton* command) { QTest::mouseClick(command, Qt::LeftButton); }

    // Types n, loads the runs and types the km range.
    static void processAndType(ComparatorScreen* screen, int olderRuns, const std::string& from,
                               const std::string& to) {
        type(screen->olderRunCountEdit, std::to_string(olderRuns));
        click(screen->processDataButton);
        type(screen->kmRangeEdits[0], from);
        type(screen->kmRangeEdits[1], to);
    }

    std::string home;
};

} // namespace kestrana::test::comparator_screen_support
