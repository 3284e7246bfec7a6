// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The analyser's comma-separated SD output file: a header line of 22 quoted labels, then one line per
// block; CR LF after every line; written through a temporary file renamed into place.

#include "core/runfile/block_table.h"

#include <string>

namespace kestrana::runfile {

// The whole text of the SD output file for `table`.
std::string sdOutputText(const BlockTable& table);
// One data line (without its CR LF).
std::string sdOutputLine(const BlockResult& row);
// Writes sdOutputText(table) to `path` atomically. Throws common::Error.
void writeSdOutputFile(const std::string& path, const BlockTable& table);

} // namespace kestrana::runfile
