// kestrana-cli: the operations of the three working screens without a window.

#include "command.h"
#include "core/platform/errors.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

std::string usageText(const std::vector<std::unique_ptr<kestrana::cli::Command>>& commands) {
    std::string text = "usage: kestrana-cli COMMAND [OPTIONS] FILE...\n"
                       "       kestrana-cli --help\n"
                       "commands:\n";
    for (const auto& command : commands) {
        text += "  kestrana-cli " + command->synopsis() + "\n";
    }
    text += "options take their value as --name VALUE or --name=VALUE\n";
    return text;
}

// A private folder for scratch and database files, removed when the call ends, whatever happens.
class WorkFolder {
public:
    WorkFolder() {
        namespace fs = std::filesystem;
        std::random_device seed;
        std::mt19937_64 random(seed());
        std::error_code error;
        const fs::path temp = fs::temp_directory_path(error);
        for (int attempt = 0; !error && attempt < 100; ++attempt) {
            fs::path candidate = temp / ("kestrana-cli-" + std::to_string(random()));
            if (fs::create_directory(candidate, error)) {
                path_ = candidate;
                return;
            }
        }
        throw kestrana::platform::KestranaError("kestrana-cli: cannot create a private temporary folder" +
                                                (error ? ": " + error.message() : std::string()));
    }
    ~WorkFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

} // namespace

int main(int argc, char** argv) {
    using namespace kestrana::cli;
    auto commands = allCommands();
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::cerr << "kestrana-cli: no command\n" << usageText(commands);
        return 2;
    }
    if (words[0] == "--help" || words[0] == "-h") {
        std::cout << usageText(commands);
        return 0;
    }
    Command* command = nullptr;
    for (auto& candidate : commands) {
        if (candidate->name() == words[0]) {
            command = candidate.get();
        }
    }
    if (command == nullptr) {
        std::cerr << "kestrana-cli: unknown command " << words[0] << "\n" << usageText(commands);
        return 2;
    }
    std::vector<std::string> rest(words.begin() + 1, words.end());
    for (const auto& word : rest) {
        if (word == "--help") {
            std::cout << "usage: kestrana-cli " << command->synopsis() << "\n";
            return 0;
        }
    }
    try {
        Arguments args = parseArguments(*command, rest);
        WorkFolder work;
        Context context{std::cout, std::cerr, work.path()};
        int status = command->run(args, context);
        // Output that could not be written (a full disk, a closed pipe) is not a success.
        if (!std::cout.flush()) {
            std::cerr << "kestrana-cli: cannot write the standard output\n";
            return 1;
        }
        return status;
    } catch (const UsageError& error) {
        std::cerr << "kestrana-cli " << command->name() << ": " << error.what() << "\n"
                  << "usage: kestrana-cli " << command->synopsis() << "\n";
        return 2;
    } catch (const Refusal& refusal) {
        std::cerr << refusal.what() << "\n";
        if (!refusal.detail().empty()) {
            std::cerr << refusal.detail() << "\n";
        }
        return 1;
    } catch (const kestrana::platform::KestranaError& error) {
        std::cerr << error.reason() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
}
