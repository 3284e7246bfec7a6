#pragma once
// The command classes of kestrana-cli: each subcommand names its options and files and runs one
// operation of a screen over the core.

#include <functional>
#include <iosfwd>
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

// A refused or failed operation: exit status 1, the screen's message as the first line of standard
// error, then the detail (the precise reason) when there is one.
class Refusal : public std::runtime_error {
public:
    explicit Refusal(const std::string& message, std::string detail = {})
        : std::runtime_error(message), detail_(std::move(detail)) {}
    const std::string& detail() const { return detail_; }

private:
    std::string detail_;
};

struct OptionInfo {
    std::string name; // without the leading "--"
    bool takesValue = true;
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
    virtual std::vector<OptionInfo> options() const = 0;
    virtual std::size_t minFiles() const = 0;
    virtual std::size_t maxFiles() const = 0;
    // Runs the operation; returns the exit status (0), or throws Refusal or UsageError.
    virtual int run(const Arguments& args, Context& context) = 0;
};

// Parses the words after the command name against the command's options. Throws UsageError.
Arguments parseArguments(const Command& command, const std::vector<std::string>& words);

// Writes `lines`, each ended by a single line feed.
void printLines(std::ostream& out, const std::vector<std::string>& lines);

// Every subcommand, in the order the usage text lists them.
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
