// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Writes the bash completion of kestrana-cli to standard output, from the commands' own table; the
// build runs it so that the completion never drifts from the program.
#include "bash_completion.h"

#include <iostream>

int main() {
    std::cout << kestrana::cli::bashCompletion(kestrana::cli::allCommands());
    return std::cout.flush() ? 0 : 1;
}
