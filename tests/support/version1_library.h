// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The schema of the run libraries written before peaks and the audit trail were kept, as those
// programs wrote it: the tests that upgrade such a library write it with their own rows.

namespace kestrana::test {

constexpr const char* kVersion1LibrarySchema = R"sql(
CREATE TABLE series (
    id INTEGER PRIMARY KEY,
    line TEXT NOT NULL,
    direction INTEGER NOT NULL,
    UNIQUE (line, direction)
);
CREATE TABLE runs (
    id INTEGER PRIMARY KEY,
    series INTEGER NOT NULL REFERENCES series (id),
    day INTEGER NOT NULL,
    date_text TEXT NOT NULL,
    run_number TEXT NOT NULL,
    blocks INTEGER NOT NULL,
    km_low INTEGER NOT NULL,
    km_high INTEGER NOT NULL,
    file TEXT NOT NULL,
    content_hash BLOB NOT NULL UNIQUE
);
CREATE INDEX runs_of_series ON runs (series, day, run_number, id);
CREATE TABLE block_values (
    run INTEGER NOT NULL,
    km INTEGER NOT NULL,
    block INTEGER NOT NULL,
    tgi INTEGER NOT NULL,
    tgiu INTEGER NOT NULL,
    tgiw INTEGER NOT NULL,
    tgig INTEGER NOT NULL,
    tgil INTEGER NOT NULL,
    PRIMARY KEY (run, km, block)
) WITHOUT ROWID;
PRAGMA application_id = 1263684674;
PRAGMA user_version = 1;
)sql";

} // namespace kestrana::test
