// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "library/backends.h"

#include "core/library/open_run_library.h"

#include <libpq-fe.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace kestrana::test {

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

} // namespace

std::string backendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgresql";
}

bool serverAvailable() {
    return !environment("KESTRANA_TEST_SERVER").empty() && !environment("PGPORT").empty();
}

std::string serverPassword() {
    return environment("PGPASSWORD");
}

std::string serverLocation(const std::string& database, const std::string& user) {
    return "postgresql://" + (user.empty() ? environment("PGUSER") : user) + "@" + environment("PGHOST") +
           ":" + environment("PGPORT") + "/" + database;
}

std::string databaseOf(const std::string& location) {
    return location.substr(location.rfind('/') + 1);
}

void serverSql(const std::string& database, const std::string& sql) {
    const std::string conninfo = "dbname=" + database;
    PGconn* conn = PQconnectdb(conninfo.c_str());
    ASSERT_EQ(PQstatus(conn), CONNECTION_OK) << PQerrorMessage(conn);
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    PGresult* result = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        << sql << ": " << PQerrorMessage(conn);
    PQclear(result);
    PQfinish(conn);
}

std::string freshLibrary(Backend backend, const TempFolder& folder) {
    static std::atomic<int> serial{0};
    const std::string name = "library" + std::to_string(serial++);
    if (backend == Backend::Sqlite) {
        library::initRunLibrary(folder.file(name + ".sqlite"));
        return folder.file(name + ".sqlite");
    }
    const std::string database = "kestrana_" + std::to_string(::getpid()) + "_" + name;
    serverSql("postgres", "CREATE DATABASE " + database);
    library::initRunLibrary(serverLocation(database));
    return serverLocation(database);
}

CommandResult cli(const std::string& arguments, const std::string& environment) {
    return runCommand((environment.empty() ? "" : "env " + environment + " ") +
                      shellQuote(KESTRANA_CLI_PATH) + " " + arguments);
}

std::string firstErrorLine(const CommandResult& result) {
    return result.err.substr(0, result.err.find('\n'));
}

std::vector<std::string> writeRuns(const std::string& folder, int count, int kmCount) {
    std::filesystem::create_directories(folder);
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        generator::RunRecipe recipe;
        recipe.startKm = 200;
        recipe.kmCount = kmCount;
        recipe.seed = 100 + static_cast<unsigned>(i);
        recipe.lineSeed = 3;
        recipe.wear = 2 * i;
        recipe.peakPairs = 0;
        // Two lines; a quarter of a year apart on each, so that the forecasts have trends to follow.
        recipe.section = i % 2 == 0 ? "KATNI - BINA UP" : "=KATNI \xC9 BINA DN";
        const int month = 1 + (i / 2) % 12;
        const int year = 20 + i / 24;
        char date[16];
        std::snprintf(date, sizeof date, "15%02d%02d", month, year);
        recipe.date = date;
        char name[32];
        std::snprintf(name, sizeof name, "run%03d.run", i + 1);
        files.push_back(folder + "/" + name);
        writeFile(files.back(), generator::generateRun(recipe));
    }
    return files;
}

} // namespace kestrana::test
