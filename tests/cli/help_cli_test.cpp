// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// kestrana-cli's own help: every command and option is described, the synopsis names exactly the
// options the parser accepts, and the program prints the texts built from that table.

#include "cli/help.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

namespace kestrana {
namespace {

using test::shellQuote;

std::string cli(const std::string& arguments) {
    const auto result = test::runCommand(shellQuote(KESTRANA_CLI_PATH) + " " + arguments);
    EXPECT_EQ(result.status, 0) << arguments << "\n" << result.err;
    EXPECT_EQ(result.err, "") << arguments;
    return result.out;
}

// Lines wider than a terminal, other than the synopses (which are kept whole to be copied).
std::string overlongLines(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    std::string overlong;
    while (std::getline(lines, line)) {
        if (line.size() > 80 && line.find("[--") == std::string::npos && line.find(" --") != 2) {
            overlong += line + "\n";
        }
    }
    return overlong;
}

TEST(CliHelp, EveryCommandAndOptionIsDescribedAndNamedInTheSynopsis) {
    const auto commands = cli::allCommands();
    for (const auto& command : commands) {
        SCOPED_TRACE(command.name);
        EXPECT_EQ(command.synopsis.rfind(command.name + " ", 0), 0u);
        // The help's synopsis adds the options the usage text's synopsis (kept as scripts know it) lacks.
        const std::string fullSynopsis = cli::helpSynopsis(command);
        EXPECT_EQ(fullSynopsis.rfind(command.synopsis, 0), 0u) << fullSynopsis;
        EXPECT_FALSE(command.summary.empty());
        EXPECT_FALSE(command.description.empty());
        const std::string help = commandHelp(command);
        for (const auto& option : command.options) {
            SCOPED_TRACE(option.name);
            const std::string label =
                "--" + option.name + (option.takesValue ? " " + option.valueName : std::string());
            const auto at = fullSynopsis.find(label);
            EXPECT_NE(at, std::string::npos) << fullSynopsis;
            EXPECT_EQ(fullSynopsis.find(label, at + 1), std::string::npos) << fullSynopsis; // once
            EXPECT_EQ(option.takesValue, !option.valueName.empty());
            EXPECT_GT(option.description.size(), 10u);
            EXPECT_NE(help.find("\n  " + label + " "), std::string::npos) << help;
        }
        // Nothing in the synopsis that the parser would refuse.
        std::string synopsis = fullSynopsis;
        std::replace_if(
            synopsis.begin(), synopsis.end(), [](char c) { return c == '[' || c == ']'; }, ' ');
        std::istringstream words(synopsis);
        std::string word;
        while (words >> word) {
            if (word.rfind("--", 0) == 0) {
                const auto options = command.options;
                EXPECT_TRUE(std::any_of(options.begin(), options.end(), [&](const cli::OptionInfo& option) {
                    return "--" + option.name == word;
                })) << word;
            }
        }
        EXPECT_EQ(overlongLines(help), "");
    }
    EXPECT_EQ(overlongLines(cli::programHelp(commands)), "");
}

TEST(CliHelp, TheProgramPrintsItsHelpAndVersion) {
    const auto commands = cli::allCommands();
    const std::string programHelp = cli("--help");
    EXPECT_EQ(programHelp, cli::programHelp(commands));
    EXPECT_EQ(cli("-h"), programHelp);
    for (const auto& command : commands) {
        EXPECT_NE(programHelp.find("  " + cli::helpSynopsis(command) + "\n      "), std::string::npos);
        EXPECT_EQ(cli(command.name + " --help"), cli::commandHelp(command));
        EXPECT_EQ(cli(command.name + " -h"), cli::commandHelp(command));
    }
    EXPECT_EQ(cli("--version"), std::string("kestrana-cli ") + KESTRANA_VERSION + "\n");
}

// Every example of the manual page works as printed, in a folder with the bundled samples and their
// history runs in "history", one after the other (the library the import fills is asked about next).
TEST(CliHelp, TheManualPageExamplesRunAsPrintedAndThePageHasItsSections) {
    namespace fs = std::filesystem;
    test::TempFolder folder;
    fs::create_directory(folder.file("history"));
    for (const auto& entry : fs::directory_iterator(KESTRANA_SAMPLES_DIR)) {
        const std::string name = entry.path().filename().string();
        const bool history = name.rfind("history", 0) == 0;
        fs::copy_file(entry.path(), folder.file(history ? "history/" + name : name));
    }
    const std::string prefix = "kestrana-cli ";
    ASSERT_FALSE(cli::manualExamples().empty());
    for (const auto& example : cli::manualExamples()) {
        const std::string line = example.commandLine;
        SCOPED_TRACE(line);
        ASSERT_EQ(line.rfind(prefix, 0), 0u);
        // In a subshell of its own, so that an example's own redirection is kept.
        const auto result = test::runCommand(
            "(cd " + shellQuote(folder.path()) + " && KESTRANA_HOME=" + shellQuote(folder.file("home")) +
            " " + shellQuote(KESTRANA_CLI_PATH) + " " + line.substr(prefix.size()) + ")");
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
    }
    // The examples wrote what they say they write, and the import filled the home folder's library.
    EXPECT_TRUE(test::fileExists(folder.file("sd-output.txt")));
    EXPECT_TRUE(test::fileExists(folder.file("listing.txt")));
    EXPECT_NE(test::readFile(folder.file("averages.csv")).find("km,"), std::string::npos);
    EXPECT_TRUE(test::fileExists(folder.file("home/library.sqlite")));
    // The manual page has the sections a reader looks for, in the usual order, and shows every example.
    const std::string page = cli::manualPage(cli::allCommands(), "9.9");
    std::size_t previous = 0;
    for (const char* section : {"NAME", "SYNOPSIS", "DESCRIPTION", "COMMANDS", "OPTIONS", "EXIT STATUS",
                                "ENVIRONMENT", "FILES", "EXAMPLES", "SEE ALSO"}) {
        const std::size_t at = page.find(std::string("\n.SH ") + section + "\n");
        ASSERT_NE(at, std::string::npos) << section;
        EXPECT_GT(at, previous) << section;
        previous = at;
    }
    for (const auto& example : cli::manualExamples()) {
        std::string roffLine;
        for (char c : std::string(example.commandLine)) {
            roffLine += c == '-' ? std::string("\\-") : std::string(1, c);
        }
        EXPECT_NE(page.find("\n.nf\n" + roffLine + "\n.fi\n"), std::string::npos) << example.commandLine;
    }
}

TEST(CliHelp, WrapKeepsWordsWholeAndIndentsFollowingLines) {
    EXPECT_EQ(cli::wrapText("aa bb cc dd", 5, 2), "aa bb\n  cc dd");
    EXPECT_EQ(cli::wrapText("a verylongword b", 4, 0), "a\nverylongword\nb");
    EXPECT_EQ(cli::wrapText("  spaced   out  ", 80, 0), "spaced out");
}

} // namespace
} // namespace kestrana
