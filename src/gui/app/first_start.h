// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// First start: the program's home folder (common::homeFolder()) is created and the bundled sample
// runs are copied into the places the screens offer by default, so every default path works out of
// the box. A file that is already there is never overwritten, so this runs on every start.
//
//   <home>/TRCDATA/trcdata.run                      the analyser's default run
//   <home>/TRCDATA/trcdata0.run .. trcdata3.run     the comparator's four runs
//   <home>/bbb/shtd0201.run                         the peak analyser's default run
//   <home>/HISTORY/history01.run .. history12.run   a dozen runs of one line over three years
//   <home>/HISTORY/samples.sqlite                   a run library of those runs, made only when the
//                                                   HISTORY folder is made, so that one the user
//                                                   deleted never comes back
//
// The user's own library (<home>/library.sqlite) is never made or touched here: it holds only what
// the user imports.
//
// The samples travel inside the program as Qt resources (:/samples/...).

#include <string>
#include <vector>

namespace kestrana::gui::app {

struct FirstStartResult {
    std::vector<std::string> copied; // full paths written now
    std::vector<std::string> kept;   // full paths that were there already
    std::string error;               // empty when everything went well; else what failed
};

FirstStartResult prepareHomeFolder(const std::string& home);
// The same for common::homeFolder().
FirstStartResult prepareHomeFolder();

} // namespace kestrana::gui::app
