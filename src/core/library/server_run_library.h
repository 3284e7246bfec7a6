// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// A run library a team shares: the schema "kestrana" of a PostgreSQL database, reached through libpq.
//
// The location is a libpq connection URI (postgresql://[user@]host[:port]/dbname[?options], TLS options
// such as sslmode and sslrootcert included) or service=NAME. A password never stands in it: libpq takes
// one from its password file (~/.pgpass), a service file (~/.pg_service.conf) or the environment
// (PGPASSWORD), and a location holding one is refused, so that it never reaches a command line, the
// settings or a message. Every value is bound, never pasted into SQL text, and every name is written
// with its schema. Each run is stored in one transaction, its blocks sent in one COPY; the content hash
// and the run (series, date, run number) are unique in the tables, so importers on several machines at
// once store each run once. Each run records who took it in (the database user) and when; each removal
// is recorded in the library.
//
// The schema and two roles without login are made by the database's owner with initServerLibrary
// (kestrana-cli library init): kestrana_reader may read, kestrana_importer may also import and remove.
// A reader who tries to change the library is refused with kReadOnlyLibraryMessage and nothing changes.

#include "core/library/run_library.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kestrana::library {

// The version of the schema this program writes; a library with a higher one is refused, not altered.
inline constexpr int kServerSchemaVersion = 1;
inline constexpr std::string_view kReaderRole = "kestrana_reader";
inline constexpr std::string_view kImporterRole = "kestrana_importer";

inline constexpr std::string_view kPasswordInLocationMessage =
    "a password does not belong in the library's address: libpq takes it from its password file "
    "(~/.pgpass), a service file (~/.pg_service.conf) or the environment (PGPASSWORD)";
inline constexpr std::string_view kUnreadableLocationMessage =
    "the library's address cannot be read: it is postgresql://[user@]host[:port]/dbname[?options] or "
    "service=NAME";
inline constexpr std::string_view kNoServerLibraryMessage =
    "there is no Kestrana run library in this database: its owner makes one with kestrana-cli library init";
inline constexpr std::string_view kMayNotReadMessage =
    "you may not read this library: its administrator grants the role kestrana_reader";

// True when `location` names a server library (postgresql://, postgres:// or service=) rather than a
// file.
bool isServerLocation(std::string_view location);
// Refuses (LibraryError) a location libpq cannot read or one holding a password, before it is kept
// anywhere: the error names the server without the password.
void checkServerLocation(const std::string& location);

// Connects to the library at `location`. A library that is not there is refused either way: it is made
// by initServerLibrary, not by an import. Throws LibraryError (its file is the location).
std::unique_ptr<RunLibrary> openServerLibrary(const std::string& location);

// Creates the schema, its tables and the two roles where they are missing, and grants the roles what
// they may do; a library that is there already is left as it is (a newer one is refused). For the
// database's owner. Throws LibraryError.
void initServerLibrary(const std::string& location);

// For tests: called with the run's file once its blocks are sent, just before the run is committed, so
// that a test can end the connection at that point. Empty by default.
void setBeforeServerCommit(std::function<void(const std::string& file)> hook);

} // namespace kestrana::library
