// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "help.h"

#include <algorithm>
#include <sstream>

namespace kestrana::cli {
namespace {

constexpr std::size_t kWidth = 80;

const char* const kProgramDescription =
    "Runs the operations of Kestrana's index analyser, run comparator and peak analyser without a "
    "window, on the same code as the screens, so that runs can be processed by scripts. Each call reads "
    "the run files it is given and works in a private temporary folder that it removes before it exits; "
    "only the track history commands (library, history, forecast) use the home folder, for their run "
    "library.";

const char* const kValueRule =
    "Options take their value as --name VALUE or --name=VALUE (the second form for values that begin "
    "with \"-\"). A value is read as the matching box of the screen reads typed text: \"--low 35.5\" is "
    "35.5 typed into the box.";

// What every command shares, the way other command-line tools behave.
std::string commonHabits(const CommandList& commands) {
    std::vector<std::string> readingRuns;
    std::vector<std::string> withFormat;
    for (const auto& command : commands) {
        if (command.readsRunFromStandardInput) {
            readingRuns.push_back(command.name);
        }
        for (const auto& option : command.options) {
            if (option.name == "format") {
                withFormat.push_back(command.name);
            }
        }
    }
    return "In every command, -h or --help prints its help, and -- ends the options: every word after it "
           "is a file, even one that begins with \"-\". A run file given as \"-\" to " +
           oneOf(readingRuns) +
           " is read from standard input (one run per call), and messages name it \"standard input\". "
           "--format csv prints the figures of " +
           oneOf(withFormat) + " as CSV with a header row, dates as YYYY-MM-DD.";
}

// What a command that reads runs says about "-".
std::string standardInputNote(const Command& command) {
    return std::string(command.maxFiles > 1 ? "One of the run files, and only one, may be given as \"-\""
                                            : "The run file may be given as \"-\"") +
           ": the run is then read from standard input, and messages name it \"standard input\".";
}

constexpr const char* kEndOfOptions = "Ends the options: every word after it is a file, even one that begins "
                                      "with \"-\".";

// A named entry of a help text or of the manual page: an exit status, a variable, a file.
struct ManualEntry {
    const char* name;
    const char* text;
};

constexpr ManualEntry kExitStatuses[] = {
    {"0", "Success."},
    {"1", "The operation was refused or failed; the first line on standard error is the message the "
          "screen would show, further lines may give detail."},
    {"2", "Usage error (unknown command or option, missing value or file); the usage is printed on "
          "standard error."},
};

// What the manual page says about the environment and the files of a call.
constexpr ManualEntry kEnvironment[] = {
    {"KESTRANA_HOME", "The home folder, shared with the desktop program kestrana. The track history commands "
                      "keep their run library there. Default: the folder Kestrana in the user's home "
                      "folder."},
    {"HOME", "The user's home folder, which holds the default home folder Kestrana when KESTRANA_HOME is not "
             "set or is empty."},
    {"TMPDIR", "Where the private temporary folder of each call is made (default /tmp)."},
};
constexpr ManualEntry kFiles[] = {
    {"~/Kestrana/library.sqlite",
     "The run library of the track history commands (library, history, forecast), an SQLite file that "
     "library import creates when it is missing; --library names another. The desktop program's track "
     "history screen uses the same file. With KESTRANA_HOME set, it lies in that folder instead."},
    {"$TMPDIR/kestrana-cli-XXXXXX",
     "The private folder of one call, for its scratch and database files; removed when the call ends, "
     "also when it is ended by a signal."},
};

const std::vector<ManualExample> kExamples = {
    {"kestrana-cli process trcdata.run --output sd-output.txt",
     "Reads a run, prints its date, run number, section and km range, and writes its SD output file:"},
    {"kestrana-cli quality trcdata.run --from 104 --to 112",
     "The quality bands and the average TGI of km 104 to 112 of a run:"},
    {"kestrana-cli list trcdata.run --index TGIU --low 20 --high 60 --save listing.txt",
     "Saves the report of the blocks whose TGIU lies between 20 and 60, as the analyser saves it:"},
    {"kestrana-cli compare trcdata0.run trcdata1.run trcdata2.run trcdata3.run --chart > averages.csv",
     "Compares the TGI of the current run with three older runs and keeps the per-km averages as CSV:"},
    {"kestrana-cli peaks shtd0201.run --from 201 --to 230 --param GAUGE --limit 5",
     "The kilometres from 201 to 230 where the first gauge peak exceeds 5:"},
    {"kestrana-cli library import history",
     "Takes every run file of the folder history, at any depth, into the run library of the home folder:"},
    {"kestrana-cli library runs", "Lists the runs of the library as CSV:"},
    {"kestrana-cli forecast --line 'AKOLA - BHUSAWAL UP MAIN LINE' --direction 1 --from 312 --to 320 --below "
     "40",
     "The trend and forecast of every block of km 312 to 320 of that line, recorded in rising km, against "
     "a TGI of 40:"},
    {"kestrana-cli history --line 'AKOLA - BHUSAWAL UP MAIN LINE' --direction 1 --km 312 --block 3",
     "The TGI of block 3 of km 312 in every run of the library:"},
};

std::string optionLabel(const OptionInfo& option) {
    return "--" + option.name + (option.takesValue ? " " + option.valueName : std::string());
}

// One help entry: the label, then the text beside it (or on the next line when the label is long).
std::string helpEntry(const std::string& label, const std::string& text, std::size_t column) {
    std::string entry = "  " + label;
    if (entry.size() + 2 <= column) {
        entry += std::string(column - entry.size(), ' ');
    } else {
        entry += "\n" + std::string(column, ' ');
    }
    return entry + wrapText(text, kWidth - column, column) + "\n";
}

// Text for the man macros: backslashes doubled as \e, minus signs as \-, and a line that would start
// with a control character protected.
std::string roff(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '\\') {
            escaped += "\\e";
        } else if (c == '-') {
            escaped += "\\-";
        } else {
            escaped += c;
        }
    }
    if (!escaped.empty() && (escaped[0] == '.' || escaped[0] == '\'')) {
        escaped.insert(0, "\\&");
    }
    return escaped;
}

std::string roffBold(const std::string& text) {
    return "\\fB" + roff(text) + "\\fR";
}

// Tagged paragraphs of the manual page, each name in bold.
template <std::size_t N> std::string manualEntries(const ManualEntry (&entries)[N]) {
    std::string text;
    for (const auto& entry : entries) {
        text += ".TP\n" + roffBold(entry.name) + "\n" + roff(entry.text) + "\n";
    }
    return text;
}

} // namespace

std::string wrapText(const std::string& text, std::size_t width, std::size_t indent) {
    std::istringstream words(text);
    std::string word;
    std::string wrapped;
    std::size_t lineLength = 0;
    while (words >> word) {
        if (lineLength == 0) {
            wrapped += word;
            lineLength = word.size();
        } else if (lineLength + 1 + word.size() <= width) {
            wrapped += " " + word;
            lineLength += 1 + word.size();
        } else {
            wrapped += "\n" + std::string(indent, ' ') + word;
            lineLength = word.size();
        }
    }
    return wrapped;
}

std::string helpSynopsis(const Command& command) {
    const auto named = [&](const std::string& option) {
        for (std::size_t at = command.synopsis.find(option); at != std::string::npos;
             at = command.synopsis.find(option, at + 1)) {
            const std::size_t end = at + option.size();
            if (end == command.synopsis.size() ||
                std::string_view(" ]=|").find(command.synopsis[end]) != std::string_view::npos) {
                return true;
            }
        }
        return false;
    };
    std::string synopsis = command.synopsis;
    for (const auto& option : command.options) {
        if (!named("--" + option.name)) {
            synopsis += " [" + optionLabel(option) + "]";
        }
    }
    return synopsis;
}

std::string usageText(const CommandList& commands) {
    std::string text = "usage: kestrana-cli COMMAND [OPTIONS] FILE...\n"
                       "       kestrana-cli --help\n"
                       "commands:\n";
    for (const auto& command : commands) {
        text += "  kestrana-cli " + command.synopsis + "\n";
    }
    text += "options take their value as --name VALUE or --name=VALUE\n";
    return text;
}

std::string programHelp(const CommandList& commands) {
    std::string text = "usage: kestrana-cli COMMAND [OPTIONS] FILE...\n"
                       "       kestrana-cli COMMAND --help\n"
                       "       kestrana-cli --help | --version\n\n" +
                       wrapText(kProgramDescription, kWidth, 0) + "\n\ncommands:\n";
    for (const auto& command : commands) {
        text += "  " + helpSynopsis(command) + "\n";
        text += "      " + wrapText(command.summary, kWidth - 6, 6) + "\n";
    }
    text += "\n" + wrapText(kValueRule, kWidth, 0) + "\n\n" + wrapText(commonHabits(commands), kWidth, 0) +
            "\n\noptions:\n";
    text += helpEntry("-h, --help", "Prints this help and exits.", 16);
    text += helpEntry("--version", "Prints the version and exits.", 16);
    text += "\nexit status:\n";
    for (const auto& status : kExitStatuses) {
        text += helpEntry(status.name, status.text, 6);
    }
    text += "\nRun 'kestrana-cli COMMAND --help' for the options of a command.\n";
    return text;
}

std::string commandHelp(const Command& command) {
    std::string text = "usage: kestrana-cli " + helpSynopsis(command) + "\n\n" +
                       wrapText(command.description, kWidth, 0) + "\n\n";
    if (command.readsRunFromStandardInput) {
        text += wrapText(standardInputNote(command), kWidth, 0) + "\n\n";
    }
    text += "options:\n";
    std::size_t column = 0;
    for (const auto& option : command.options) {
        column = std::max(column, optionLabel(option).size() + 4);
    }
    column = std::clamp<std::size_t>(column, 12, 24);
    for (const auto& option : command.options) {
        text += helpEntry(optionLabel(option), option.description, column);
    }
    text += helpEntry("-h, --help", "Prints this help and exits.", column);
    text += helpEntry("--", kEndOfOptions, column);
    return text;
}

std::string versionText(const std::string& version) {
    return "kestrana-cli " + version + "\n";
}

std::string manualPage(const CommandList& commands, const std::string& version) {
    std::string page = ".TH KESTRANA-CLI 1 \"\" \"Kestrana " + version + "\" \"User Commands\"\n";
    // Left-aligned and without hyphenation, so that option names and synopses are never broken.
    page += ".ad l\n.nh\n";
    page += ".SH NAME\nkestrana\\-cli \\- analyse track recording car runs without a window\n";
    page += ".SH SYNOPSIS\n";
    for (const auto& command : commands) {
        page += ".B kestrana\\-cli\n" + roff(helpSynopsis(command)) + "\n.br\n";
    }
    page += ".B kestrana\\-cli\n\\fICOMMAND\\fR \\-\\-help\n.br\n";
    page += ".B kestrana\\-cli\n\\-\\-help | \\-\\-version\n";
    page += ".SH DESCRIPTION\n" + roff(kProgramDescription) + "\n.PP\n" + roff(kValueRule) + "\n.PP\n" +
            roff(commonHabits(commands)) + "\n";
    page += ".PP\nOutput goes to standard output, one line per item, each ended by a single line feed. "
            "Files written with \\-\\-output or \\-\\-save are byte for byte the files the screens write, "
            "and are either written whole or not at all.\n";
    page += ".SH COMMANDS\n";
    for (const auto& command : commands) {
        page += ".SS \"" + roff(helpSynopsis(command)) + "\"\n" + roff(command.description) + "\n";
        if (command.readsRunFromStandardInput) {
            page += ".PP\n" + roff(standardInputNote(command)) + "\n";
        }
        for (const auto& option : command.options) {
            page += ".TP\n" + roffBold("--" + option.name) +
                    (option.takesValue ? " \\fI" + roff(option.valueName) + "\\fR" : std::string()) + "\n" +
                    roff(option.description) + "\n";
        }
        page += ".TP\n" + roffBold("-h") + ", " + roffBold("--help") +
                "\nPrints the help of the command and exits.\n";
        page += ".TP\n" + roffBold("--") + "\n" + roff(kEndOfOptions) + "\n";
    }
    page += ".SH OPTIONS\n.TP\n" + roffBold("-h") + ", " + roffBold("--help") +
            "\nPrints the list of commands and exits.\n.TP\n" + roffBold("--version") +
            "\nPrints the version and exits.\n";
    page += ".SH EXIT STATUS\n" + manualEntries(kExitStatuses);
    page += ".SH ENVIRONMENT\n" + manualEntries(kEnvironment);
    page += ".SH FILES\n" + manualEntries(kFiles);
    page += ".SH EXAMPLES\n";
    for (const auto& example : kExamples) {
        page +=
            ".PP\n" + roff(example.what) + "\n.PP\n.RS 4\n.nf\n" + roff(example.commandLine) + "\n.fi\n.RE\n";
    }
    page += ".SH SEE ALSO\n" + roffBold("kestrana") + "(1)\n";
    return page;
}

const std::vector<ManualExample>& manualExamples() {
    return kExamples;
}

} // namespace kestrana::cli
