// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The embedded run library: one SQLite file, by default <home>/library.sqlite.
//
// Opening checks the file before anything is written to it: a file that is not a Kestrana library (any
// table, index, trigger or view it does not know included), is damaged, or was written by a newer
// version of the program is refused with LibraryError and left exactly as it was. Before a program
// first writes to a library, SQLite's quick check reads the whole file (once per program and file): a
// damaged one is refused unchanged, and so is one where a question meets damage. A new library is built
// beside its final name and put there only when it is complete, so a library never exists half made, and
// programs creating the same library at once all end up using the one that was put in place first. Each run
// is stored in its own transaction; a second program storing at the same time waits for it (up to the busy
// timeout) instead of failing, and a run is stored once however many programs store it.
//
// Every failure's message says what happened in words and names the file (LibraryError: the path is
// its file).

#include "core/library/run_library.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kestrana::library {

// The library's file name in the home folder.
inline constexpr std::string_view kLibraryFileName = "library.sqlite";
// <home>/library.sqlite: the user's own library. It starts empty and never receives the samples.
std::string defaultLibraryPath();
// The library of the bundled history samples, a library of its own in their folder.
inline constexpr std::string_view kSampleFolderName = "HISTORY";
inline constexpr std::string_view kSampleLibraryFileName = "samples.sqlite";
// <home>/HISTORY/samples.sqlite, for the home folder given or common::homeFolder().
std::string sampleLibraryPath(std::string_view home);
std::string sampleLibraryPath();

// The schema version this program writes; a library with a higher one is refused. An older library is
// read as it is and upgraded in place, in one transaction, the first time this program writes to it
// (version 2 keeps the peaks of each run; version 3 added the audit trail and run ids never given twice).
inline constexpr int kLibrarySchemaVersion = 3;

// Opens (or creates) the library at `path`, a plain file path (never read as an SQLite URI).
// Throws LibraryError with one of the messages below as its text and the path as its file.
std::unique_ptr<RunLibrary> openSqliteLibrary(const std::string& path, LibraryAccess access);

// Builds a new library beside `path`: the schema, then whatever `fill` stores into it, and puts it
// at `path` only if nothing stands there then (not even a link), so that a library made meanwhile by
// another program is kept. True when it was put in place, false when another one was there first;
// nothing of the new one is left behind either way. Throws LibraryError (or what `fill` throws).
bool buildLibraryInPlace(const std::string& path, const std::function<void(RunLibrary&)>& fill);

inline constexpr std::string_view kNoLibraryMessage = "there is no library at this path";
inline constexpr std::string_view kNotALibraryMessage = "this file is not a Kestrana run library";
inline constexpr std::string_view kLibraryNoFolderMessage =
    "the run library cannot be created: its folder does not exist";

// For tests: called with the final path when a new library is complete beside it, just before it is
// put in place, so that a test can make several programs reach that point together. Empty by default.
void setBeforeNewLibraryInPlace(std::function<void(const std::string& path)> hook);

} // namespace kestrana::library
