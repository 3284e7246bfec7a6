#pragma once
// The command classes of kestrana-cli: each subcommand names its options and files and runs one
// operation of a screen over the core.

#include <functional>
#include <iosfwd>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
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
};

struct Arguments {
    std::vector<std::string> files;
    std::map<std::string, std::string> values; // options with a value
    std::vector<std::string> flags;            // options without a value that were given

    std::optional<std::string> value(const std::string& name) const;
    std::string valueOr(const std::string& name, const std::string& fallback) const;
    bool has(const std::string& name) const; // a value option or a flag that was given
};

struct Context {
    std::ostream& out;
    std::ostream& err;
    // A private folder for this call's scratch and database files, removed when the call ends.
    std::string workFolder;
};

class Command {
public:
    virtual ~Command() = default;
    virtual std::string name() const = 0;
    // The synopsis after "kestrana-cli ", for example "process RUN [--output FILE]".
    virtual std::string synopsis() const = 0;
    // One sentence for the list of commands.
    virtual std::string summary() const = 0;
    // A paragraph for the command's help: what it does with its files and what it prints.
    virtual std::string description() const = 0;
    virtual std::vector<OptionInfo> options() const = 0;
    virtual std::size_t minFiles() const = 0;
    virtual std::size_t maxFiles() const = 0;
    // Runs the operation; returns the exit status (0), or throws UsageError, or platform::Error for a
    // refused or failed operation (exit status 1: its message, then its reason).
    virtual int run(const Arguments& args, Context& context) = 0;
};

// Parses the words after the command name against the command's options. Throws UsageError.
Arguments parseArguments(const Command& command, const std::vector<std::string>& words);

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

// Writes `lines`, each ended by a single line feed.
void printLines(std::ostream& out, const std::vector<std::string>& lines);

// Every subcommand, in the order the usage text lists them. A new command is one more entry in the
// table behind this (command.cpp): its class carries its name, synopsis, help and options.
std::vector<std::unique_ptr<Command>> allCommands();

std::unique_ptr<Command> makeProcessCommand();
std::unique_ptr<Command> makeQualityCommand();
std::unique_ptr<Command> makeListCommand();
std::unique_ptr<Command> makeShareCommand();
std::unique_ptr<Command> makeBlockCommand();
std::unique_ptr<Command> makeCompareCommand();
std::unique_ptr<Command> makePeaksCommand();
std::unique_ptr<Command> makeLibraryCommand();
std::unique_ptr<Command> makeHistoryCommand();
std::unique_ptr<Command> makeForecastCommand();

} // namespace kestrana::cli
