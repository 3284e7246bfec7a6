// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Opening a run library by where it lives: the one place that chooses how a library is stored. Every
// part of the program that opens a library (the track history screen, the command line) comes here.

#include "core/library/run_library.h"

#include <memory>
#include <string>

namespace kestrana::library {

// Opens the library at `location`: a PostgreSQL library for a libpq URI (postgresql://...) or
// service=NAME (server_run_library.h), else the SQLite file at that path (sqlite_run_library.h). A
// missing file is made with CreateIfMissing; a server library is only ever made by initRunLibrary.
// Throws LibraryError, whose file is the location.
std::unique_ptr<RunLibrary> openRunLibrary(const std::string& location, LibraryAccess access);

// Makes the library at `location` where it is not there yet: on a server the schema and the roles
// kestrana_reader and kestrana_importer (for the database's owner), a file as an empty library. A
// library that is there already is left as it is. Throws LibraryError.
void initRunLibrary(const std::string& location);

} // namespace kestrana::library
