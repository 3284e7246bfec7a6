// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Copying runs from one library to another, of either kind: how a personal file moves to the team's
// server, and how a server library is taken along on a laptop. A run goes with everything the library
// stores of it, its import stamp (who took it in and when) included.

#include "core/library/run_import.h"

namespace kestrana::library {

// Copies every run of `from` that `to` lacks, judged by content hash, in the order `from` lists them; one
// outcome per run, named by the file it was imported from, as an import gives them (Skipped when its
// bytes or its run are there already). A run that cannot be read from `from` (a damaged part of a file)
// is Refused and the copy goes on, so that whatever can still be read is saved. Throws LibraryError when
// `to` fails, or when `from` cannot even list its runs.
ImportSummary copyRuns(const RunLibrary& from, RunLibrary& to, const ImportCallbacks& callbacks = {});

} // namespace kestrana::library
