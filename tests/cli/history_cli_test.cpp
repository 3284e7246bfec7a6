// kestrana-cli library, history and forecast as real programs: outcome lines, exit statuses, the
// first line of standard error, and libraries refused without being changed. The figures themselves
// are checked against the definitions by forecast_check.py.

#include "core/history/history_settings.h"
#include "core/history/sqlite_run_library.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace kestrana {
namespace {

using test::CommandResult;
using test::readFile;
using test::shellQuote;
using test::TempFolder;
using test::writeFile;

std::string firstErrorLine(const CommandResult& result) {
    return result.err.substr(0, result.err.find('\n'));
}

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

    TempFolder folder_;
    std::string library_ = folder_.file("lib.sqlite");
};

TEST_F(HistoryCli, ImportPrintsOneLinePerFileAndExitsOneWhenAnyWasRefused) {
    const std::string runs = folder_.file("runs");
    std::filesystem::create_directories(runs);
    writeFile(runs + "/empty.run", "");
    const auto first = cli("library import " + shellQuote(runs + "/run1.run") + " " + shellQuote(runs));
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(first.out, "imported " + runs +
                             "/run1.run\n"
                             "refused " +
                             runs +
                             "/empty.run: the run has no block line (\"68\")\n"
                             "imported " +
                             runs +
                             "/run0.run\n"
                             "skipped " +
                             runs +
                             "/run1.run: already in the library\n"
                             "imported " +
                             runs + "/run2.run\n");
    EXPECT_EQ(firstErrorLine(first), "1 of 5 files were refused; the others were taken in.");
    std::filesystem::remove(runs + "/empty.run");
    const auto again = cli("library import " + shellQuote(runs));
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.err, "");
    const auto listing = cli("library runs");
    EXPECT_EQ(listing.status, 0);
    EXPECT_EQ(listing.out, "line,direction,date,run,blocks,file\n"
                           "KATNI - BINA UP,1,2022-01-15,1,15," +
                               runs +
                               "/run0.run\n"
                               "KATNI - BINA UP,1,2023-01-15,1,15," +
                               runs +
                               "/run1.run\n"
                               "KATNI - BINA UP,1,2024-01-15,1,15," +
                               runs + "/run2.run\n");
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
        {"library list", 2, "kestrana-cli library: unknown library action list (import or runs)"},
        {"library import", 2, "kestrana-cli library: library import needs at least one file or folder"},
    };
    for (const Case& c : cases) {
        const auto result = cli(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments;
        EXPECT_EQ(firstErrorLine(result), c.message) << c.arguments;
        EXPECT_EQ(result.out, "") << c.arguments;
    }
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
        EXPECT_EQ(firstErrorLine(result), notLibrary + ": " + std::string(history::kNotALibraryMessage))
            << command;
        EXPECT_EQ(result.out, "") << command;
    }
    EXPECT_EQ(readFile(notLibrary), "hello");
    library_ = folder_.file("none.sqlite");
    EXPECT_EQ(firstErrorLine(cli("library runs")), library_ + ": " + std::string(history::kNoLibraryMessage));
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
