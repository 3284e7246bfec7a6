// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The bash completion of kestrana-cli, written from the same command table as its help and manual
// page, so that it offers exactly the commands and options the program takes.

#include "help.h"

#include <string>

namespace kestrana::cli {

// A bash script defining the completion function of kestrana-cli and registering it: command names,
// each command's options, the values of options that take one of a fixed set, the first words of a
// command whose synopsis opens with a choice ("library {import ... | runs | remove ...}"), and files
// wherever the command takes a file or an option takes a FILE.
std::string bashCompletion(const CommandList& commands);

} // namespace kestrana::cli
