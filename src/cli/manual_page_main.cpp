// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Writes the manual page kestrana-cli(1) to standard output, from the commands' own help texts; the
// build runs it so that the page never drifts from `kestrana-cli --help`.
#include "help.h"

#include <iostream>

int main() {
    std::cout << kestrana::cli::manualPage(kestrana::cli::allCommands(), KESTRANA_VERSION);
    return std::cout.flush() ? 0 : 1;
}
