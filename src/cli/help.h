// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The texts kestrana-cli prints about itself: the usage on a usage error, --help for the program and
// for each command, and its manual page. All of them come from the commands' own names,
// synopses, help sentences and options, so a new command or option documents itself everywhere.

#include "command.h"

#include <memory>
#include <string>
#include <vector>

namespace kestrana::cli {

using CommandList = std::vector<Command>;

// The synopsis the help and the manual page show: the command's synopsis, then any option it does not
// name (options added since, such as --format) as "[--name VALUE]". The usage printed with a usage
// error keeps the synopsis alone, as scripts know it.
std::string helpSynopsis(const Command& command);

// The short usage printed with a usage error: the general form and every command's synopsis.
std::string usageText(const CommandList& commands);
// `kestrana-cli --help`: the general form, every command with its synopsis and summary, the rules
// for option values and the exit statuses.
std::string programHelp(const CommandList& commands);
// `kestrana-cli COMMAND --help`: the synopsis, what the command does, and each option.
std::string commandHelp(const Command& command);
// `kestrana-cli --version`.
std::string versionText(const std::string& version);
// The manual page kestrana-cli(1) in roff (man macros).
std::string manualPage(const CommandList& commands, const std::string& version);

// One example of the manual page: a whole command line, as typed in a folder that holds the bundled
// sample runs (and their history runs in the folder "history"), and what it does.
struct ManualExample {
    const char* commandLine;
    const char* what;
};
// The manual page's examples, in the order a user would try them (the library is filled before it is
// asked about).
const std::vector<ManualExample>& manualExamples();

// `text` broken into lines of at most `width` characters (longer words stay whole), each line after
// the first indented by `indent` blanks; the result has no final line feed.
std::string wrapText(const std::string& text, std::size_t width, std::size_t indent);

} // namespace kestrana::cli
