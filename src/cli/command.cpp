// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "command.h"

#include <algorithm>
#include <ostream>

namespace kestrana::cli {

std::optional<std::string> Arguments::value(const std::string& name) const {
    auto it = values.find(name);
    if (it == values.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::string Arguments::valueOr(const std::string& name, const std::string& fallback) const {
    return value(name).value_or(fallback);
}

bool Arguments::has(const std::string& name) const {
    return values.count(name) > 0 || std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::vector<std::string> Arguments::valuesOf(const std::string& name) const {
    const auto it = everyValue.find(name);
    return it == everyValue.end() ? std::vector<std::string>() : it->second;
}

Arguments parseArguments(const Command& command, const std::vector<std::string>& words) {
    Arguments args;
    const auto& options = command.options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && word.size() > 2 && word.compare(0, 2, "--") == 0) {
            std::string name = word.substr(2);
            std::optional<std::string> inlineValue;
            if (auto eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name = name.substr(0, eq);
            }
            auto option = std::find_if(options.begin(), options.end(),
                                       [&](const OptionInfo& known) { return known.name == name; });
            if (option == options.end()) {
                throw UsageError("unknown option --" + name);
            }
            if (!option->takesValue) {
                if (inlineValue) {
                    throw UsageError("option --" + name + " takes no value");
                }
                args.flags.push_back(name);
                continue;
            }
            if (inlineValue) {
                args.values[name] = *inlineValue;
            } else if (i + 1 < words.size()) {
                args.values[name] = words[++i];
            } else {
                throw UsageError("option --" + name + " needs a value");
            }
            args.everyValue[name].push_back(args.values[name]);
        } else {
            args.files.push_back(word);
        }
    }
    if (args.files.size() < command.minFiles) {
        throw UsageError("missing run file");
    }
    if (args.files.size() > command.maxFiles) {
        throw UsageError("too many files");
    }
    if (command.readsRunFromStandardInput && std::count(args.files.begin(), args.files.end(), "-") > 1) {
        throw UsageError("only one run can be read from standard input");
    }
    return args;
}

bool asksForHelp(const Command& command, const std::vector<std::string>& words) {
    bool optionValue = false; // the word is the value of the option before it
    for (const std::string& word : words) {
        if (word == "--") {
            return false;
        }
        if (word == "--help" || (word == "-h" && !optionValue)) {
            return true;
        }
        optionValue = !optionValue && std::any_of(command.options.begin(), command.options.end(),
                                                  [&](const OptionInfo& option) {
                                                      return option.takesValue && word == "--" + option.name;
                                                  });
    }
    return false;
}

OptionInfo formatOption(const std::string& csvDescription) {
    return {"format",
            true,
            "FORMAT",
            "text (the default) prints the text described above; " + csvDescription,
            {"text", "csv"}};
}

OutputFormat outputFormat(const Arguments& args, const std::vector<std::string>& notWithCsv) {
    const std::string format = args.valueOr("format", "text");
    if (format == "text") {
        return OutputFormat::Text;
    }
    if (format != "csv") {
        throw UsageError("option --format needs text or csv, not " + format);
    }
    for (const std::string& option : notWithCsv) {
        if (args.has(option)) {
            throw UsageError("--format csv and --" + option + " cannot be used together");
        }
    }
    return OutputFormat::Csv;
}

std::string csvColumnList(std::string_view header) {
    std::string list;
    for (char c : header) {
        list += c == ',' ? std::string(", ") : std::string(1, c);
    }
    return list;
}

OptionInfo rangeFromOption() {
    return {"from", true, "KM", "The first km of the range (default: the km from of the run's first block)."};
}

OptionInfo rangeToOption() {
    return {"to", true, "KM", "The last km of the range (default: the km to of the run's last block)."};
}

void printLines(std::ostream& out, const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
        out << line << '\n';
    }
}

std::vector<Command> allCommands() {
    using Factory = Command (*)();
    static constexpr Factory kCommandTable[] = {
        makeProcessCommand, makeQualityCommand,  makeListCommand,    makeShareCommand,
        makeBlockCommand,   makeCompareCommand,  makePeaksCommand,   makeLibraryCommand,
        makeHistoryCommand, makeForecastCommand, makeDefectsCommand, makeDefectCommand,
    };
    std::vector<Command> commands;
    for (Factory make : kCommandTable) {
        commands.push_back(make());
    }
    return commands;
}

} // namespace kestrana::cli
