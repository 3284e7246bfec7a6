// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The habits kestrana-cli shares with other command-line tools, on the real binary: -h and --help on
// every command, -- ending the options, - reading a run from standard input, --format and its usage
// errors, and the generated bash completion run in bash as the shell runs it.

#include "cli/command.h"
#include "cli/help.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kestrana {
namespace {

using test::shellQuote;
using Words = std::vector<std::string>;

const std::string kSamples = KESTRANA_SAMPLES_DIR;

// Runs kestrana-cli in `folder` with its private folders under folder/tmp.
class HabitsCli : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.file("tmp"));
        for (const char* name : {"trcdata.run", "trcdata0.run", "trcdata1.run", "shtd0201.run"}) {
            std::filesystem::copy_file(kSamples + "/" + name, folder.file(name));
        }
    }
    test::CommandResult cli(const std::string& arguments, const std::string& input = "/dev/null") const {
        return test::runCommand("cd " + shellQuote(folder.path()) +
                                    " && TMPDIR=" + shellQuote(folder.file("tmp")) + " " +
                                    shellQuote(KESTRANA_CLI_PATH) + " " + arguments,
                                input);
    }
    bool nothingLeft() const { return std::filesystem::is_empty(folder.file("tmp")); }
    test::TempFolder folder;
};

TEST_F(HabitsCli, DashHAndDashDashHelpOnEveryCommandWhereverTheyStandBeforeDashDash) {
    for (const auto& command : cli::allCommands()) {
        const std::string help = cli::commandHelp(command);
        for (const std::string words :
             {"-h", "--help", "trcdata.run -h", "--from 3 --help", "-x -h --", "-h -- -h"}) {
            SCOPED_TRACE(command.name + " " + words);
            const auto result = cli(command.name + " " + words);
            EXPECT_EQ(result.status, 0);
            EXPECT_EQ(result.out, help);
            EXPECT_EQ(result.err, "");
        }
        // After --, -h and --help are files, and -h is the value of an option before it: never the help.
        for (const std::string& words :
             Words{"-- -h", "-- --help", "--" + command.options.front().name + " -h"}) {
            SCOPED_TRACE(command.name + " " + words);
            const auto result = cli(command.name + " " + words);
            EXPECT_NE(result.status, 0);
            EXPECT_EQ(result.out, "");
        }
    }
}

TEST_F(HabitsCli, DashDashEndsTheOptionsAndEveryLaterWordIsAFile) {
    for (const char* name : {"-x", "--help", "-h", "--from", "--"}) {
        std::filesystem::copy_file(folder.file("trcdata.run"), folder.file(name));
    }
    struct Case {
        std::string arguments;
        std::string sameAs; // the same call with the sample's own name
    };
    for (const Case& c : std::vector<Case>{
             {"quality -- -x", "quality trcdata.run"},
             {"quality -- --help", "quality trcdata.run"},
             {"quality --from 104 -- --from", "quality trcdata.run --from 104"},
             {"list --low 40 --format csv -- -h", "list trcdata.run --low 40 --format csv"},
             {"block -- -x --km 104 --block 3", ""}, // --km and the rest are files too: too many files
             {"process -- --", "process trcdata.run"},
             {"share -- -", "share trcdata.run"}, // "-" after -- still stands for standard input
         }) {
        SCOPED_TRACE(c.arguments);
        const auto result = cli(c.arguments, folder.file("trcdata.run"));
        if (c.sameAs.empty()) {
            EXPECT_EQ(result.status, 2);
            EXPECT_EQ(
                result.err,
                "kestrana-cli block: too many files\nusage: kestrana-cli block RUN --km KM --block BK\n");
            continue;
        }
        const auto expected = cli(c.sameAs);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, expected.out);
        EXPECT_EQ(result.err, "");
    }
}

TEST_F(HabitsCli, DashReadsTheRunFromStandardInputAsTheFileWouldBeRead) {
    struct Case {
        std::string withDash;
        std::string withFile;
        std::string input;
    };
    for (const Case& c : std::vector<Case>{
             {"process -", "process trcdata.run", "trcdata.run"},
             {"quality - --from 104", "quality trcdata.run --from 104", "trcdata.run"},
             {"list - --index TGIU --low 40 --high 70", "list trcdata.run --index TGIU --low 40 --high 70",
              "trcdata.run"},
             {"list --format csv -", "list --format csv trcdata.run", "trcdata.run"},
             {"share - --low 50", "share trcdata.run --low 50", "trcdata.run"},
             {"block - --km 104 --block 3", "block trcdata.run --km 104 --block 3", "trcdata.run"},
             {"peaks - --from 201 --to 230 --param UN1L",
              "peaks shtd0201.run --from 201 --to 230 --param UN1L", "shtd0201.run"},
             {"compare trcdata0.run - --from 133 --to 136",
              "compare trcdata0.run trcdata1.run --from 133 --to 136", "trcdata1.run"},
             {"compare - trcdata1.run --format csv", "compare trcdata0.run trcdata1.run --format csv",
              "trcdata0.run"},
         }) {
        SCOPED_TRACE(c.withDash);
        const auto expected = cli(c.withFile);
        ASSERT_EQ(expected.status, 0) << expected.err;
        const auto result = cli(c.withDash, folder.file(c.input));
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, expected.out);
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(nothingLeft());
    }
    // --output still writes the SD file of the run read from standard input.
    ASSERT_EQ(cli("process trcdata.run --output file.sd").status, 0);
    ASSERT_EQ(cli("process - --output dash.sd", folder.file("trcdata.run")).status, 0);
    EXPECT_EQ(test::readFile(folder.file("dash.sd")), test::readFile(folder.file("file.sd")));
}

TEST_F(HabitsCli, ARunFromStandardInputIsNamedStandardInputInEveryMessage) {
    test::writeFile(folder.file("empty.run"), "");
    test::writeFile(folder.file("junk.run"), "95,3,150324\r\nnot a run\r\n");
    std::string badNumber = test::readFile(folder.file("trcdata.run"));
    badNumber.replace(badNumber.find("\r\n68,") + 5, 1, "x");
    test::writeFile(folder.file("bad number.run"), badNumber);
    std::istringstream lines(test::readFile(folder.file("trcdata.run")));
    std::string noPeaks;
    for (std::string line; std::getline(lines, line);) {
        noPeaks += line.starts_with("67,") ? "" : line + "\n";
    }
    test::writeFile(folder.file("no peaks.run"), noPeaks);
    for (const auto& [command, run] : std::vector<std::pair<std::string, std::string>>{
             {"process", "empty.run"},
             {"quality", "junk.run"},
             {"list", "bad number.run"},
             {"peaks --from 100 --to 110", "no peaks.run"}, // no peak records: the message names the file
             {"compare trcdata0.run", "junk.run"},
         }) {
        SCOPED_TRACE(command + " " + run);
        const auto byName = cli(command + " " + shellQuote(folder.file(run)));
        ASSERT_EQ(byName.status, 1);
        ASSERT_NE(byName.err.find(folder.file(run)), std::string::npos) << byName.err;
        std::string expected = byName.err;
        for (std::size_t at; (at = expected.find(folder.file(run))) != std::string::npos;) {
            expected.replace(at, folder.file(run).size(), "standard input");
        }
        const auto result = cli(command + " -", folder.file(run));
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, expected);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(nothingLeft());
    }
    // Standard input stands for one run only; a "-" of a command that reads no run is a file's name.
    const auto twice = cli("compare - trcdata1.run -", folder.file("trcdata0.run"));
    EXPECT_EQ(twice.status, 2);
    EXPECT_EQ(test::firstLineOfErrors(twice),
              "kestrana-cli compare: only one run can be read from standard input");
    // A call started with its standard input closed says so; it never reads a file of its own instead.
    const auto closed =
        test::runCommand("sh -c " + shellQuote("TMPDIR=" + shellQuote(folder.file("tmp")) + " " +
                                               shellQuote(KESTRANA_CLI_PATH) + " quality - <&-"));
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(closed.err, "kestrana-cli: cannot read standard input: Bad file descriptor\n");
    EXPECT_TRUE(nothingLeft());
    const auto library = cli("library import - --library lib.sqlite", folder.file("trcdata0.run"));
    EXPECT_EQ(library.status, 1);
    EXPECT_EQ(library.out.rfind("refused -: ", 0), 0u) << library.out;
}

TEST_F(HabitsCli, FormatTextIsTheDefaultAndCsvRefusesAFileOrChartOutput) {
    for (const std::string call :
         {"quality trcdata.run", "list trcdata.run --low 40 --high 60", "share trcdata.run",
          "block trcdata.run --km 104 --block 3", "peaks shtd0201.run --from 201 --to 230",
          "compare trcdata0.run trcdata1.run"}) {
        SCOPED_TRACE(call);
        const auto plain = cli(call);
        ASSERT_EQ(plain.status, 0);
        EXPECT_EQ(cli(call + " --format text").out, plain.out);
        EXPECT_EQ(cli(call + " --format=text").out, plain.out);
        const auto csv = cli(call + " --format csv");
        EXPECT_EQ(csv.status, 0);
        EXPECT_NE(csv.out, plain.out);
    }
    struct Refusal {
        std::string arguments;
        std::string err;
    };
    const std::string compareUsage =
        "usage: kestrana-cli compare RUN0 RUN1 [RUN2 [RUN3]] [--param NAME] [--from KM] "
        "[--to KM] [--save FILE] [--chart]\n";
    for (const Refusal& r : std::vector<Refusal>{
             {"list trcdata.run --format csv --save out.txt",
              "kestrana-cli list: --format csv and --save cannot be used together\nusage: kestrana-cli list "
              "RUN "
              "[--from KM] [--to KM] [--index NAME] [--low X] [--high Y] [--save FILE]\n"},
             {"compare trcdata0.run trcdata1.run --format csv --save out.txt",
              "kestrana-cli compare: --format csv and --save cannot be used together\n" + compareUsage},
             {"compare trcdata0.run trcdata1.run --chart --format csv",
              "kestrana-cli compare: --format csv and --chart cannot be used together\n" + compareUsage},
             // The older refusal keeps its place and its words.
             {"compare trcdata0.run trcdata1.run --format csv --chart --save out.txt",
              "kestrana-cli compare: --chart and --save cannot be used together\n" + compareUsage},
             {"quality trcdata.run --format CSV", "kestrana-cli quality: option --format needs text or csv, "
                                                  "not CSV\nusage: kestrana-cli quality RUN "
                                                  "[--from KM] [--to KM]\n"},
             {"process trcdata.run --format csv", "kestrana-cli process: unknown option --format\nusage: "
                                                  "kestrana-cli process RUN [--output FILE]\n"},
         }) {
        SCOPED_TRACE(r.arguments);
        const auto result = cli(r.arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, r.err);
        EXPECT_EQ(result.out, "");
        EXPECT_FALSE(test::fileExists(folder.file("out.txt")));
    }
}

// What the completion function offers for these words, the last being the one completed; run in
// `folder` so that files are completed from there.
std::set<std::string> completions(const test::TempFolder& folder, const Words& words) {
    std::string line =
        "cd " + shellQuote(folder.path()) + " && bash -c " +
        shellQuote("source \"$1\" && shift && COMP_WORDS=(\"$@\") && COMP_CWORD=$(($# - 1)) && "
                   "_kestrana_cli && printf '%s\\n' \"${COMPREPLY[@]}\"") +
        " _ " + shellQuote(KESTRANA_CLI_COMPLETION_PATH);
    for (const auto& word : words) {
        line += " " + shellQuote(word);
    }
    const auto result = test::runCommand(line);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::set<std::string> offered;
    std::istringstream lines(result.out);
    for (std::string offer; std::getline(lines, offer);) {
        if (!offer.empty()) {
            offered.insert(offer);
        }
    }
    return offered;
}

TEST(CliCompletion, CommandsOptionsFixedValuesAndFilesAsTheShellAsks) {
    test::TempFolder folder;
    for (const char* file : {"run a.run", "run b.run", "other.txt", "--fancy.run"}) {
        test::writeFile(folder.file(file), "");
    }
    std::filesystem::create_directory(folder.file("runs"));
    using Offers = std::set<std::string>;
    const Offers runFiles{"run a.run", "run b.run", "runs"};
    struct Case {
        Words words;
        Offers offered;
    };
    for (const Case& c : std::vector<Case>{
             {{"kestrana-cli", "l"}, {"list", "library"}},
             {{"kestrana-cli", "--"}, {"--help", "--version"}},
             {{"kestrana-cli", "list", "--in"}, {"--index"}},
             {{"kestrana-cli", "list", "--index", ""}, {"TGI", "TGIU", "TGIW", "TGIG", "TGIL"}},
             {{"kestrana-cli", "history", "--index", "TGIW"}, {"TGIW"}},
             {{"kestrana-cli", "peaks", "--param", "AL"}, {"AL2L", "AL2R", "AL1L", "AL1R"}},
             {{"kestrana-cli", "compare", "--param=TGIU"}, {"--param=TGIU"}},
             {{"kestrana-cli", "quality", "--format", "="}, {"text", "csv"}}, // bash splits --format=
             {{"kestrana-cli", "quality", "--format", "=", "c"}, {"csv"}},
             {{"kestrana-cli", "quality", "--format=t"}, {"--format=text"}}, // a word kept whole
             {{"kestrana-cli", "list", "--from", ""}, {}},                   // a km: nothing to offer
             {{"kestrana-cli", "list", "r"}, runFiles},
             {{"kestrana-cli", "list", "run a.run", "r"}, {}}, // list takes one run
             {{"kestrana-cli", "list", "--save", "r"}, runFiles},
             {{"kestrana-cli", "list", "--save", "x", "--low", "3", "r"}, runFiles},
             {{"kestrana-cli", "list", "--format", "=", "csv", "r"}, runFiles},
             {{"kestrana-cli", "compare", "--chart", "a", "b", "c", "r"}, runFiles}, // --chart takes no value
             {{"kestrana-cli", "compare", "a", "b", "c", "d", "r"}, {}},
             {{"kestrana-cli", "list", "--", "--f"}, {"--fancy.run"}},
             {{"kestrana-cli", "list", "--f"}, {"--from", "--format"}},
             {{"kestrana-cli", "library", ""}, {"import", "runs", "remove", "log", "copy", "init"}},
             {{"kestrana-cli", "library", "import", "r"}, runFiles},
             {{"kestrana-cli", "library", "--library", "x", "r"}, {"runs", "remove"}},
             {{"kestrana-cli", "history", "r"}, {}}, // takes no file
             {{"kestrana-cli", "forecast", "--library", "r"}, runFiles},
             {{"kestrana-cli", "bogus", "r"}, {}},
         }) {
        std::string words;
        for (const auto& word : c.words) {
            words += "[" + word + "]";
        }
        EXPECT_EQ(completions(folder, c.words), c.offered) << words;
    }
    // Every command offers exactly its own options, the help and the end of the options.
    for (const auto& command : cli::allCommands()) {
        Offers options{"-h", "--help", "--"};
        for (const auto& option : command.options) {
            options.insert("--" + option.name);
        }
        EXPECT_EQ(completions(folder, {"kestrana-cli", command.name, "-"}), options) << command.name;
    }
    const auto registered =
        test::runCommand("bash -c " + shellQuote("source \"$1\" && complete -p kestrana-cli") + " _ " +
                         shellQuote(KESTRANA_CLI_COMPLETION_PATH));
    EXPECT_EQ(registered.out, "complete -F _kestrana_cli kestrana-cli\n");
}

} // namespace
} // namespace kestrana
