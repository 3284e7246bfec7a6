// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli library, history and forecast as real programs: outcome lines, exit statuses, the
// first line of standard error, removal, failures said in words, and libraries refused without being
// changed. The figures themselves are checked against the definitions by forecast_check.py.

#include "core/history/history_settings.h"
#include "core/library/sqlite_run_library.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace kestrana {
namespace {

using test::CommandResult;
using test::firstLineOfErrors;
using test::readFile;
using test::shellQuote;
using test::TempFolder;
using test::writeFile;

class HistoryCli : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder_.file("runs"));
        for (int i = 0; i < 3; ++i) {
            generator::RunRecipe recipe;
            recipe.startKm = 10;
            recipe.kmCount = 3;
            recipe.seed = 5;
            recipe.wear = 4 * i;
            recipe.date = "1501" + std::to_string(22 + i);
            recipe.section = "KATNI - BINA UP";
            writeFile(folder_.file("runs/run" + std::to_string(i) + ".run"), generator::generateRun(recipe));
        }
    }
    CommandResult cli(const std::string& arguments) const {
        return test::runCommand(shellQuote(KESTRANA_CLI_PATH) + " " + arguments + " --library " +
                                shellQuote(library_));
    }
    void importRuns() const {
        ASSERT_EQ(cli("library import " + shellQuote(folder_.file("runs"))).status, 0);
    }
    // library runs with the import stamps left out, once each is seen to be a UTC time since the test
    // began and the user the test runs as.
    std::string runsWithoutStamps() const {
        std::istringstream listing(cli("library runs").out);
        std::string result;
        for (std::string line; std::getline(listing, line);) {
            std::vector<std::string> fields;
            std::istringstream split(line);
            for (std::string field; std::getline(split, field, ',');) {
                fields.push_back(field);
            }
            EXPECT_EQ(fields.size(), 9U) << line;
            if (fields.size() == 9 && fields[0] != "id") {
                std::tm parts{};
                EXPECT_NE(::strptime(fields[6].c_str(), "%Y-%m-%dT%H:%M:%SZ", &parts), nullptr) << line;
                const std::time_t at = ::timegm(&parts);
                EXPECT_TRUE(at >= started_ && at <= std::time(nullptr)) << line;
                EXPECT_EQ(fields[7], ::getpwuid(::geteuid())->pw_name) << line;
            }
            if (fields.size() == 9) {
                fields.erase(fields.begin() + 6, fields.begin() + 8);
            }
            for (std::size_t i = 0; i < fields.size(); ++i) {
                result += (i == 0 ? "" : ",") + fields[i];
            }
            result += '\n';
        }
        return result;
    }

    TempFolder folder_;
    std::string library_ = folder_.file("lib.sqlite");
    std::time_t started_ = std::time(nullptr);
};

TEST_F(HistoryCli, ImportPrintsOneLinePerFileAndExitsOneWhenAnyWasRefused) {
    const std::string runs = folder_.file("runs");
    std::filesystem::create_directories(runs);
    writeFile(runs + "/empty.run", "");
    std::string lineFeedsOnly = readFile(runs + "/run0.run");
    std::erase(lineFeedsOnly, '\r');
    writeFile(runs + "/run0 again.run", lineFeedsOnly);
    const auto first = cli("library import " + shellQuote(runs + "/run1.run") + " " + shellQuote(runs));
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(first.out,
              "imported " + runs + "/run1.run\n" +                                         //
                  "refused " + runs + "/empty.run: the run has no block line (\"68\")\n" + //
                  "imported " + runs + "/run0 again.run\n" +                               //
                  "skipped " + runs + "/run0.run: the same run as " + runs +               //
                  "/run0 again.run (KATNI - BINA UP, 2022-01-15, run 1) is already in the library\n" +
                  "skipped " + runs + "/run1.run: already in the library\n" + //
                  "imported " + runs + "/run2.run\n");
    EXPECT_EQ(firstLineOfErrors(first), "1 of 6 files were refused; the others were taken in.");
    std::filesystem::remove(runs + "/empty.run");
    const auto again = cli("library import " + shellQuote(runs));
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.err, "");
    EXPECT_EQ(cli("library runs").status, 0);
    EXPECT_EQ(runsWithoutStamps(), "id,line,direction,date,run,blocks,file\n"
                                   "2,KATNI - BINA UP,1,2022-01-15,1,15," +
                                       runs + "/run0 again.run\n" + //
                                       "1,KATNI - BINA UP,1,2023-01-15,1,15," + runs + "/run1.run\n" +
                                       "3,KATNI - BINA UP,1,2024-01-15,1,15," + runs + "/run2.run\n");
}

TEST_F(HistoryCli, RemoveTakesRunsOutTogetherOrNotAtAll) {
    importRuns();
    const std::string runs = folder_.file("runs");
    const std::string before = cli("library runs").out;
    struct Case {
        std::string ids;
        int status;
        std::string message;
    };
    const Case refused[] = {
        {"1 7", 1, "No run with id 7 is in the library; nothing was removed."},
        {"9 1 8", 1, "No run with id 9 is in the library; nothing was removed."},
        {"1 x", 2,
         "kestrana-cli library: \"x\" is not a run id (a whole number, as library runs lists them)"},
        {"", 2, "kestrana-cli library: library remove needs at least one run id"},
    };
    for (const Case& c : refused) {
        const auto result = cli("library remove " + c.ids);
        EXPECT_EQ(result.status, c.status) << c.ids;
        EXPECT_EQ(firstLineOfErrors(result), c.message) << c.ids;
        EXPECT_EQ(result.out, "") << c.ids;
    }
    EXPECT_EQ(cli("library runs").out, before);

    const auto removed = cli("library remove 3 1 3");
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(removed.out, "removed 3 (KATNI - BINA UP, 2024-01-15, run 1, " + runs + "/run2.run)\n" +
                               "removed 1 (KATNI - BINA UP, 2022-01-15, run 1, " + runs + "/run0.run)\n");
    EXPECT_EQ(runsWithoutStamps(),
              "id,line,direction,date,run,blocks,file\n2,KATNI - BINA UP,1,2023-01-15,1,15," + runs +
                  "/run1.run\n");
    // A run removed may be taken in again, from the same file or another one of it.
    const auto back = cli("library import " + shellQuote(runs));
    EXPECT_EQ(back.out, "imported " + runs + "/run0.run\nskipped " + runs +
                            "/run1.run: already in the library\n" + "imported " + runs + "/run2.run\n");
}

TEST_F(HistoryCli, PathsThatCannotBeReadAreRefusedInWordsAndEveryOutcomeIsOneLine) {
    namespace fs = std::filesystem;
    const std::string runs = folder_.file("runs");
    fs::create_directories(runs + "/locked");
    fs::copy_file(runs + "/run0.run", runs + "/locked/hidden.run");
    fs::copy_file(runs + "/run1.run", runs + "/secret.run");
    fs::rename(runs + "/run2.run", runs + "/two\nlines\x01.run");
    writeFile(folder_.file("unreadable.sqlite"), "");
    // Root reads everything: the program runs as an ordinary user then, over files it may use.
    std::string asUser;
    if (::geteuid() == 0) {
        asUser = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
        for (const auto& entry : fs::recursive_directory_iterator(folder_.path())) {
            fs::permissions(entry.path(), fs::perms::all);
        }
        fs::permissions(folder_.path(), fs::perms::all);
    }
    ::chmod((runs + "/locked").c_str(), 0);
    ::chmod((runs + "/secret.run").c_str(), 0);
    ::chmod(folder_.file("unreadable.sqlite").c_str(), 0);
    const auto run = [&](const std::string& arguments) {
        return test::runCommand(asUser + shellQuote(KESTRANA_CLI_PATH) + " " + arguments);
    };
    const std::string library = " --library " + shellQuote(library_);

    const auto walked =
        run("library import " + shellQuote(runs) + " " + shellQuote(runs + "/locked") + library);
    EXPECT_EQ(walked.status, 1);
    EXPECT_EQ(walked.out, "refused " + runs + "/locked: the folder cannot be read: permission denied\n" + //
                              "imported " + runs + "/run0.run\n" +                                        //
                              "imported " + runs + "/run1.run\n" +                                        //
                              "refused " + runs + "/secret.run: cannot open the file: Permission denied\n" +
                              "imported " + runs + "/two\\nlines\\x01.run\n" + //
                              "refused " + runs + "/locked: the folder cannot be read: permission denied\n");
    EXPECT_EQ(firstLineOfErrors(walked), "3 of 6 files were refused; the others were taken in.");

    const std::string unreadable = folder_.file("unreadable.sqlite");
    const auto cannotRead = run("library runs --library " + shellQuote(unreadable));
    EXPECT_EQ(cannotRead.status, 1);
    EXPECT_EQ(firstLineOfErrors(cannotRead),
              unreadable + ": the run library cannot be read: permission denied");
}

TEST_F(HistoryCli, LibraryFailuresAreSaidInWordsAndLeaveNothingHalfWritten) {
    namespace fs = std::filesystem;
    const std::string runs = folder_.file("runs");
    struct Case {
        std::string library;
        std::string prefix; // before the program: a file-size limit
        std::string message;
    };
    const std::string noFolder = folder_.file("no/such/folder/lib.sqlite");
    const std::string tooLong = folder_.file(std::string(300, 'n') + ".sqlite");
    const std::string limited = folder_.file("limited.sqlite");
    const Case cases[] = {
        {noFolder, "", noFolder + ": " + std::string(library::kLibraryNoFolderMessage)},
        {tooLong, "", tooLong + ": the run library cannot be opened: the path is too long"},
        // 4 KiB: not even the schema fits.
        {limited, "ulimit -f 8; ",
         limited + ": the run library failed while creating the library: file too large"},
    };
    for (const Case& c : cases) {
        const auto result = test::runCommand(c.prefix + shellQuote(KESTRANA_CLI_PATH) + " library import " +
                                             shellQuote(runs) + " --library " + shellQuote(c.library));
        EXPECT_EQ(result.status, 1) << c.library;
        EXPECT_EQ(firstLineOfErrors(result), c.message);
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1)
        << "nothing beside the runs folder";

    // An existing library that reaches the limit: the run being stored is not there, the others are,
    // and no journal is left for the next program to roll back.
    importRuns();
    const std::string large = folder_.file("large.run");
    generator::RunRecipe recipe;
    recipe.kmCount = 400;
    recipe.date = "150125";
    recipe.section = "KATNI - BINA UP";
    writeFile(large, generator::generateRun(recipe));
    const std::string listed = cli("library runs").out;
    const std::string before = readFile(library_);
    const auto limitedImport = test::runCommand("ulimit -f " + std::to_string(before.size() / 512 + 8) +
                                                "; " + shellQuote(KESTRANA_CLI_PATH) + " library import " +
                                                shellQuote(large) + " --library " + shellQuote(library_));
    EXPECT_EQ(limitedImport.status, 1);
    EXPECT_EQ(firstLineOfErrors(limitedImport),
              library_ + ": the run library failed while storing a run: file too large");
    EXPECT_FALSE(fs::exists(library_ + "-journal"));
    EXPECT_EQ(readFile(library_), before);
    EXPECT_EQ(cli("library runs").out, listed);
}

TEST_F(HistoryCli, WrongValuesAreUsageErrorsOrRefusalsWithTheirMessage) {
    importRuns();
    const std::string known = "--line 'KATNI - BINA UP' --direction 1 ";
    struct Case {
        std::string arguments;
        int status;
        std::string message; // the first line of standard error; empty: only its start is the usage
    };
    const Case cases[] = {
        {"history " + known + "--km 11", 2, "kestrana-cli history: option --block is required"},
        {"history " + known + "--km x --block 1", 2,
         "kestrana-cli history: " + std::string(history::kKmMessage)},
        {"history --line 'KATNI - BINA UP' --direction 2 --km 1 --block 1", 2,
         "kestrana-cli history: " + std::string(history::kDirectionMessage)},
        {"history --line 'KATNI - BINA DN' --direction 1 --km 1 --block 1", 1,
         "No run of line \"KATNI - BINA DN\" in direction 1 is in the library."},
        {"history " + known + "--km 11 --block 1 --jump 0", 1, std::string(history::kJumpMessage)},
        {"history " + known + "--km 11 --block 1 --index TGX", 1, std::string(history::kIndexChoiceMessage)},
        {"forecast " + known + "--below 32768", 1, std::string(history::kThresholdMessage)},
        {"forecast " + known + "--from 12km", 1, std::string(history::kKmMessage)},
        {"forecast " + known + "--jump=-4", 1, std::string(history::kJumpMessage)},
        {"forecast --direction 1", 2, "kestrana-cli forecast: option --line is required"},
        {"library list", 2,
         "kestrana-cli library: unknown library action list (import, runs, remove, log, copy or init)"},
        {"library import", 2, "kestrana-cli library: library import needs at least one file or folder"},
    };
    for (const Case& c : cases) {
        const auto result = cli(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments;
        EXPECT_EQ(firstLineOfErrors(result), c.message) << c.arguments;
        EXPECT_EQ(result.out, "") << c.arguments;
    }
}

TEST_F(HistoryCli, AHugeFileIsReadInBoundedMemoryAndTheImportGoesOnAfterIt) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit below";
#endif
    // 256 MiB of nothing (a sparse file), under an address-space limit of about 150 MB: holding it
    // whole to hash it ran out of memory and ended the import there.
    const std::string huge = folder_.file("huge.run");
    writeFile(huge, "");
    std::filesystem::resize_file(huge, std::uintmax_t{256} << 20);
    const std::string runs = folder_.file("runs");
    const auto result = test::runCommand(
        "ulimit -v 150000; " + shellQuote(KESTRANA_CLI_PATH) + " library import " + shellQuote(huge) + " " +
        shellQuote(runs + "/run0.run") + " --library " + shellQuote(library_));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out,
              "refused " + huge + ": the run has no block line (\"68\")\nimported " + runs + "/run0.run\n");
    EXPECT_EQ(firstLineOfErrors(result), "1 of 2 files were refused; the others were taken in.");
}

TEST_F(HistoryCli, LibrariesThatAreNoLibraryAreRefusedUnchanged) {
    const std::string notLibrary = folder_.file("notes.sqlite");
    writeFile(notLibrary, "hello");
    library_ = notLibrary;
    for (const std::string& command :
         {std::string("library runs"), "library import " + shellQuote(folder_.file("runs")),
          std::string("forecast --line 'KATNI - BINA UP' --direction 1")}) {
        const auto result = cli(command);
        EXPECT_EQ(result.status, 1) << command;
        EXPECT_EQ(firstLineOfErrors(result), notLibrary + ": " + std::string(library::kNotALibraryMessage))
            << command;
        EXPECT_EQ(result.out, "") << command;
    }
    EXPECT_EQ(readFile(notLibrary), "hello");
    library_ = folder_.file("none.sqlite");
    EXPECT_EQ(firstLineOfErrors(cli("library runs")),
              library_ + ": " + std::string(library::kNoLibraryMessage));
    EXPECT_FALSE(std::filesystem::exists(library_));
}

TEST_F(HistoryCli, TheDefaultLibraryLivesInTheHomeFolder) {
    const std::string home = folder_.file("home");
    const auto result =
        test::runCommand("KESTRANA_HOME=" + shellQuote(home) + " " + shellQuote(KESTRANA_CLI_PATH) +
                         " library import " + shellQuote(folder_.file("runs/run0.run")));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(home + "/library.sqlite"));
}

} // namespace
} // namespace kestrana
