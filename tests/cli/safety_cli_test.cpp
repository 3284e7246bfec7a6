// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli and the files around it: outputs that would destroy a run, a device or a pipe are
// refused; termination signals and a file-size limit leave no private work folder behind; that
// folder is private; written files reach the disk before they take their name.

#include "core/comparator_test_runs.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <future>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace kestrana {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::shellQuote;
using test::writeFile;

class SafetyCli : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(tmp);
        writeFile(run, test::simpleRun("111111", 10, 3, 1));
        writeFile(older, test::simpleRun("222222", 10, 3, 1, 100));
    }
    // kestrana-cli with its temporary folder inside the test's folder; `prefix` goes before it
    // (a ulimit, strace).
    test::CommandResult cli(const std::string& arguments, const std::string& prefix = "") const {
        return test::runCommand("TMPDIR=" + shellQuote(tmp) + " " + prefix + shellQuote(KESTRANA_CLI_PATH) +
                                " " + arguments);
    }
    bool workFoldersLeft() const { return !fs::is_empty(tmp); }

    test::TempFolder folder;
    const std::string tmp = folder.file("tmp");
    const std::string run = folder.file("current.run");
    const std::string older = folder.file("older.run");
};

TEST_F(SafetyCli, OutputsThatWouldDestroyARunADeviceOrAPipeAreRefused) {
    fs::create_symlink("current.run", folder.file("link.run"));
    fs::create_hard_link(run, folder.file("hard.run"));
    fs::create_symlink("/dev/null", folder.file("null.txt"));
    ASSERT_EQ(::mkfifo(folder.file("pipe.txt").c_str(), 0600), 0);
    const std::string process = " Could not open file. Please type file name correctly.";
    const std::string saveDetails = " Could not save the details. Please choose another file name.";
    const std::string saveComparison = "Could not save the details. Please choose another file name.";
    const std::string runText = readFile(run);
    struct Case {
        std::string arguments;
        std::string message; // the first line of standard error
        std::string reason;  // in the lines after it
    };
    const std::string current = shellQuote(run);
    const Case cases[] = {
        {"process " + current + " --output " + current, process, "run file"},
        {"process " + current + " --output " + shellQuote(folder.file("link.run")), process, "run file"},
        {"list " + current + " --save " + shellQuote(folder.file("hard.run")), saveDetails, "run file"},
        {"compare " + current + " " + shellQuote(older) + " --save " + shellQuote(older), saveComparison,
         "run file"},
        {"process " + current + " --output " + shellQuote(folder.file("null.txt")), process, "device"},
        {"list " + current + " --save " + shellQuote(folder.file("pipe.txt")), saveDetails, "pipe"},
    };
    const std::string olderText = readFile(older);
    for (const Case& c : cases) {
        const auto result = cli(c.arguments);
        EXPECT_EQ(result.status, 1) << c.arguments;
        EXPECT_EQ(test::firstLineOfErrors(result), c.message) << c.arguments;
        EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
        EXPECT_EQ(readFile(run), runText);
        EXPECT_EQ(readFile(older), olderText);
    }
    EXPECT_TRUE(fs::is_symlink(folder.file("link.run")) && fs::is_symlink(folder.file("null.txt")));
    EXPECT_TRUE(fs::is_fifo(folder.file("pipe.txt")));
    EXPECT_FALSE(workFoldersLeft());
}

TEST_F(SafetyCli, TerminationSignalsRemoveThePrivateWorkFolder) {
    // A run file that is a pipe nobody writes keeps the call waiting with its work folder made.
    const std::string pipe = folder.file("waiting.run");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (int signalNumber : {SIGTERM, SIGHUP, SIGINT}) {
        const std::string pidFile = folder.file("pid");
        fs::remove(pidFile);
        auto call = std::async(std::launch::async, [&] {
            return test::runCommand("{ TMPDIR=" + shellQuote(tmp) + " sh -c " +
                                    shellQuote("echo $$ >" + shellQuote(pidFile) + "; exec " +
                                               shellQuote(KESTRANA_CLI_PATH) + " process " +
                                               shellQuote(pipe)) +
                                    "; echo $?; }");
        });
        for (int wait = 0; wait < 500 && (fs::is_empty(tmp) || !test::fileExists(pidFile)); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(workFoldersLeft());
        // Nobody else may look into it.
        const auto work = *fs::directory_iterator(tmp);
        EXPECT_EQ(fs::status(work).permissions(), fs::perms::owner_all);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ASSERT_EQ(::kill(std::stoi(readFile(pidFile)), signalNumber), 0);
        EXPECT_EQ(call.get().out, std::to_string(128 + signalNumber) + "\n") << signalNumber;
        EXPECT_FALSE(workFoldersLeft()) << signalNumber;
    }
}

TEST_F(SafetyCli, AFileSizeLimitIsAFailedWriteWithItsReason) {
    writeFile(run, test::simpleRun("111111", 10, 60, 1)); // its scratch file is beyond 8 KiB
    const auto result = cli("process " + shellQuote(run) + " --output " + shellQuote(folder.file("out.txt")),
                            "ulimit -f 8; ");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(test::firstLineOfErrors(result), " Could not open file. Please type file name correctly.");
    EXPECT_NE(result.err.find("File too large"), std::string::npos) << result.err;
    EXPECT_FALSE(test::fileExists(folder.file("out.txt")));
    EXPECT_FALSE(workFoldersLeft());
}

TEST_F(SafetyCli, WrittenFilesReachTheDiskBeforeAndAfterTakingTheirName) {
    if (test::runCommand("command -v strace").status != 0) {
        GTEST_SKIP() << "strace is not installed (tools/packages.sh installs it)";
    }
    const std::string output = folder.file("Trcout.txt");
    const std::string trace = folder.file("trace");
    // The leak checker of a sanitizer build cannot run under strace; it is switched off for this call.
    const auto result =
        cli("process " + shellQuote(run) + " --output " + shellQuote(output),
            "ASAN_OPTIONS=detect_leaks=0 strace -e trace=fsync,rename -o " + shellQuote(trace) + " ");
    ASSERT_EQ(result.status, 0) << result.err;
    // The output's rename stands between a flush of the new file and a flush of its folder.
    const std::string calls = readFile(trace);
    const auto rename = calls.find(", \"" + output + "\") = 0");
    ASSERT_NE(rename, std::string::npos) << calls;
    const auto before = calls.rfind('\n', calls.rfind('\n', rename) - 1);
    EXPECT_EQ(calls.compare(before + 1, 6, "fsync("), 0) << calls;
    EXPECT_EQ(calls.compare(calls.find('\n', rename) + 1, 6, "fsync("), 0) << calls;
}

} // namespace
} // namespace kestrana
