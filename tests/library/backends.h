// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The two kinds of run library the library tests run against: a SQLite file in a private folder, and a
// database of a throw-away PostgreSQL cluster that run_with_server.sh starts for them (pg_virtualenv,
// which sets PGHOST, PGPORT, PGUSER and PGPASSWORD for its superuser).

#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrana::test {

enum class Backend { Sqlite, Postgresql };

// "Sqlite" or "Postgresql", for the names of parameterised tests.
std::string backendName(const ::testing::TestParamInfo<Backend>& info);

// True when the tests run inside the cluster run_with_server.sh starts.
bool serverAvailable();

// A fresh, empty library of the kind, made ready (library init as the server's superuser): a file in
// `folder`, or a database of its own on the server.
std::string freshLibrary(Backend backend, const TempFolder& folder);

// The location of the database `database` for `user` (by default the superuser).
std::string serverLocation(const std::string& database, const std::string& user = {});
// The database of a server location.
std::string databaseOf(const std::string& location);
// Runs SQL on a database of the server as the superuser; fails the test when it fails.
void serverSql(const std::string& database, const std::string& sql);
// The superuser's password, which the tests give every login role they make too.
std::string serverPassword();

// kestrana-cli with the arguments (each already quoted for the shell), under `environment` ("NAME=value
// ..." words, or empty).
CommandResult cli(const std::string& arguments, const std::string& environment = {});
std::string firstErrorLine(const CommandResult& result);

// Run files of two lines (`count` runs alternating between the lines, each line's in date order), written
// as run001.run, run002.run ... into `folder`. One line's name begins with "=" and holds a byte above 127,
// so that both kinds of library are seen to keep a text's bytes exactly.
std::vector<std::string> writeRuns(const std::string& folder, int count, int kmCount = 6);

} // namespace kestrana::test
