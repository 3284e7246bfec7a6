// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Fuzz target: the command-line option parser. The input is a list of words separated by NUL bytes;
// the first byte picks the command. Any word list must give arguments or a usage error, nothing else.

#include "command.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrana::cli;
    static const auto commands = allCommands();
    if (size == 0) {
        return 0;
    }
    const Command& command = commands[data[0] % commands.size()];
    std::vector<std::string> words(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back() += static_cast<char>(data[i]);
        }
    }
    try {
        const Arguments args = parseArguments(command, words);
        // What was parsed must be what the command knows and accepts.
        for (const auto& [name, value] : args.values) {
            bool known = false;
            for (const auto& option : command.options) {
                known = known || (option.name == name && option.takesValue);
            }
            if (!known || !args.has(name)) {
                std::abort();
            }
        }
        if (args.files.size() < command.minFiles || args.files.size() > command.maxFiles) {
            std::abort();
        }
    } catch (const UsageError&) {
    }
    return 0;
}
