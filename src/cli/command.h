// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The commands of kestrana-cli: each subcommand names its options and files and runs one operation
// of a screen over the core.

#include <functional>
#include <iosfwd>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::cli {

// A usage error: exit status 2, the message and the usage text on standard error.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One option of a command, with what its help text and manual page say about it.
struct OptionInfo {
    std::string name; // without the leading "--"
    bool takesValue = true;
    std::string valueName;   // what the value stands for in the help ("FILE", "KM"); empty for a flag
    std::string description; // a sentence or two: what the option does and its default
    // The values the option takes when they are a fixed set (the shell's completion offers them).
    std::vector<std::string> choices = {};
};

struct Arguments {
    std::vector<std::string> files;
    std::map<std::string, std::string> values;                  // options with a value (the last one given)
    std::map<std::string, std::vector<std::string>> everyValue; // each value given, in order
    std::vector<std::string> flags;                             // options without a value that were given

    std::optional<std::string> value(const std::string& name) const;
    std::string valueOr(const std::string& name, const std::string& fallback) const;
    bool has(const std::string& name) const; // a value option or a flag that was given
    // Every value of an option that may be given more than once, in the order given.
    std::vector<std::string> valuesOf(const std::string& name) const;
};

struct Context {
    std::ostream& out;
    std::ostream& err;
    // A private folder for this call's scratch and database files, removed when the call ends.
    std::string workFolder;
};

// One subcommand: its name, the texts of its help and manual page, its options, how many files it
// takes, and the operation it runs.
struct Command {
    std::string name;
    // The synopsis after "kestrana-cli ", for example "process RUN [--output FILE]".
    std::string synopsis;
    // One sentence for the list of commands.
    std::string summary;
    // A paragraph for the command's help: what it does with its files and what it prints.
    std::string description;
    std::vector<OptionInfo> options;
    // How many files it takes; most commands take one run file.
    std::size_t minFiles = 1;
    std::size_t maxFiles = 1;
    // Whether a file given as "-" is a run read from standard input (at most one of the files).
    bool readsRunFromStandardInput = false;
    // Runs the operation; returns the exit status (0), or throws UsageError, or common::Error for a
    // refused or failed operation (exit status 1: its message, then its reason).
    std::function<int(const Arguments& args, Context& context)> run;
};

// Parses the words after the command name against the command's options. A word "--" ends the
// options: every word after it is a file, even one that begins with "-". Throws UsageError.
Arguments parseArguments(const Command& command, const std::vector<std::string>& words);

// Whether the words after the command name ask for its help: "--help" anywhere before a "--" (as it
// always has been), or "-h" where a file or an option could stand ("--output -h" names a file "-h").
bool asksForHelp(const Command& command, const std::vector<std::string>& words);

// What the run of a file given as "-" is called in messages.
inline constexpr const char* kStandardInputName = "standard input";

// The output of the commands that print figures: the text as the screens show it, or CSV.
enum class OutputFormat { Text, Csv };
// --format with its value "text" (the default) or "csv". `csvDescription` says what csv prints.
OptionInfo formatOption(const std::string& csvDescription);
// The format chosen by --format. Throws UsageError for another value, and for csv together with any
// of the options `notWithCsv` (options whose output is a file or another table).
OutputFormat outputFormat(const Arguments& args, const std::vector<std::string>& notWithCsv = {});
// "a, b, c": the names of a CSV header, for a help text.
std::string csvColumnList(std::string_view header);

// The km range options of the analyser's commands (its "Starting KM" and "Ending KM" boxes).
OptionInfo rangeFromOption();
OptionInfo rangeToOption();

// "A, B, C or D": the names a value may take, for a help text.
template <typename Names> std::string oneOf(const Names& names) {
    std::string text;
    std::size_t index = 0;
    for (const auto& name : names) {
        if (index > 0) {
            text += index + 1 == std::size(names) ? " or " : ", ";
        }
        text += std::string(name);
        ++index;
    }
    return text;
}

// The names as a list of choices of an option.
template <typename Names> std::vector<std::string> choicesOf(const Names& names) {
    return std::vector<std::string>(std::begin(names), std::end(names));
}

// Writes `lines`, each ended by a single line feed.
void printLines(std::ostream& out, const std::vector<std::string>& lines);

// Every subcommand, in the order the usage text lists them. A new command is one more entry in the
// table behind this (command.cpp): its make function gives its name, synopsis, help and options.
std::vector<Command> allCommands();

Command makeProcessCommand();
Command makeQualityCommand();
Command makeListCommand();
Command makeShareCommand();
Command makeBlockCommand();
Command makeCompareCommand();
Command makePeaksCommand();
Command makeLibraryCommand();
Command makeHistoryCommand();
Command makeForecastCommand();
Command makeDefectsCommand();
Command makeDefectCommand();

} // namespace kestrana::cli
