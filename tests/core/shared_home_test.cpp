// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Two programs sharing one home folder: each operation on the shared scratch files and databases
// holds the folder's lock (a second program waits, then is told), and a database rebuilt by the other
// program is never read as one's own.

#include "comparator_test_runs.h"
#include "core/common/home_lock.h"
#include "core/comparator/comparison.h"
#include "core/comparator/messages.h"
#include "core/comparator/run_database.h"
#include "core/peaks/peak_database.h"
#include "core/peaks/query.h"
#include "core/peaks/texts.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>

namespace kestrana {
namespace {

using namespace std::chrono_literals;
using common::HomeFolderLock;
using comparator::BuildResult;
using comparator::ComparatorSession;
using comparator::CompareResult;
using test::TempFolder;

// One program's side of a shared home folder: its own run files, the home's shared files.
class Program {
public:
    Program(const TempFolder& home, const std::string& name, int tgiBase, int peakValue)
        : home_(home), name_(name), tgiBase_(tgiBase) {
        std::filesystem::create_directories(home.file(name));
        runs_ = {home.file(name + "/current.run"), home.file(name + "/older.run")};
        test::writeFile(runs_[0], test::simpleRun("111111", 10, 3, 1, tgiBase));
        test::writeFile(runs_[1], test::simpleRun("222222", 10, 3, 1, tgiBase + 1));
        // Km 120 has a first UN2L (code 6) peak of peakValue, km 121 only peaks of 1.
        const std::string pairs = ",100,1,200,1,300,1,400,1,500,1,600,1,700,1,800,0\r\n";
        test::writeFile(home.file(name + "/peaks.run"), "60,120,121,\r\n67,6," + std::to_string(peakValue) +
                                                            pairs + "60,121,122,\r\n67,6,1" + pairs);
        peakFiles_ = peaks::PeakFiles::in(home.path());
    }

    // PROCESS DATA of the comparator; "" or the message shown.
    std::string buildComparison() {
        comparator::BuildRequest request;
        request.slotPaths[0] = runs_[0];
        request.slotPaths[1] = runs_[1];
        request.olderRuns = session_.olderRuns = 1;
        request.parameter = "TGI";
        request.databaseBase = home_.file("trcdbase");
        request.scratchPath = home_.file("temp_1.txt");
        const BuildResult built = comparator::buildRunDatabase(request, session_);
        return built.outcome == BuildResult::Outcome::Built ? "" : built.failure->message();
    }
    // COMPARE over km 10; "" when it listed this program's own runs, else the message shown, or
    // "wrong" for a listing of other runs presented as a result.
    std::string compare() {
        const CompareResult result = comparator::compareRuns("10", "11", session_, home_.file("trcdbase"));
        if (result.outcome != CompareResult::Outcome::Compared) {
            return result.failure->message();
        }
        return result.listing.values[0].at(0) == std::to_string(tgiBase_ + 1) ? "" : "wrong";
    }
    // PROCESS DATA of the peak analyser; "" or the message shown.
    std::string processPeaks() {
        try {
            peaks::processPeakData(home_.file(name_ + "/peaks.run"), peakFiles_, peakSession_);
            return "";
        } catch (const common::Error& error) {
            return error.message();
        }
    }
    // SHOW DETAILS over km 120 to 122; "" when it listed this program's own run (km 120 above the
    // limit exactly when its peak value is), else the message or "wrong".
    std::string showPeaks(int peakValue) {
        try {
            const auto summary =
                peaks::showDetails({"UN2L", "15", "120", "122"}, peakSession_, peakFiles_.databaseBase);
            return summary.kmCount == (peakValue > 15 ? 1 : 0) ? "" : "wrong";
        } catch (const common::Error& error) {
            return error.message();
        }
    }

private:
    const TempFolder& home_;
    std::string name_;
    int tgiBase_;
    std::array<std::string, 2> runs_;
    ComparatorSession session_;
    peaks::PeakFiles peakFiles_;
    peaks::PeakSession peakSession_;
};

class SharedHome : public ::testing::Test {
protected:
    void TearDown() override { HomeFolderLock::setWaitLimit(5000ms); }
    TempFolder home;
};

TEST_F(SharedHome, ASecondProgramWaitsForTheLockThenIsTold) {
    Program other(home, "other", 0, 30);
    ASSERT_EQ(other.buildComparison(), "");
    ASSERT_EQ(other.processPeaks(), "");
    const std::string busy = common::homeBusyMessage(home.path());
    const std::pair<const char*, std::function<std::string()>> operations[] = {
        {"comparator PROCESS DATA", [&] { return other.buildComparison(); }},
        {"COMPARE", [&] { return other.compare(); }},
        {"peak PROCESS DATA", [&] { return other.processPeaks(); }},
        {"peak SHOW DETAILS", [&] { return other.showPeaks(30); }},
    };
    for (const auto& [name, operation] : operations) {
        // Held by this thread for longer than the other one waits: it is told who holds the folder.
        HomeFolderLock::setWaitLimit(100ms);
        {
            const HomeFolderLock held(home.path());
            EXPECT_EQ(std::async(std::launch::async, operation).get(), busy) << name;
        }
        // Let go while the other one waits: it goes on and succeeds.
        HomeFolderLock::setWaitLimit(5000ms);
        auto held = std::make_unique<HomeFolderLock>(home.path());
        auto waiting = std::async(std::launch::async, operation);
        EXPECT_EQ(waiting.wait_for(150ms), std::future_status::timeout) << name << " did not wait";
        held.reset();
        EXPECT_EQ(waiting.get(), "") << name;
    }
}

TEST_F(SharedHome, ADatabaseRebuiltByAnotherProgramIsNeverReadAsOurs) {
    Program first(home, "first", 0, 30);
    Program second(home, "second", 500, 5);
    ASSERT_EQ(first.buildComparison(), "");
    ASSERT_EQ(first.processPeaks(), "");
    ASSERT_EQ(second.buildComparison(), "");
    ASSERT_EQ(second.processPeaks(), "");
    EXPECT_EQ(first.compare(), comparator::kDatabaseReplacedMessage);
    EXPECT_EQ(first.showPeaks(30), peaks::kDatabaseReplacedMessage);
    EXPECT_EQ(second.compare(), "");
    EXPECT_EQ(second.showPeaks(5), "");
    // PROCESS DATA again makes the database one's own again.
    ASSERT_EQ(first.buildComparison(), "");
    EXPECT_EQ(first.compare(), "");
}

} // namespace
} // namespace kestrana
