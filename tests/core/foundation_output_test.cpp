// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The SD output file: the worked example row, the header line, number forms, files replaced whole
// or not at all, and design drive paths mapped into the home folder. (The processing step around it
// is checked through kestrana-cli process.)

#include "core/common/errors.h"
#include "core/common/paths.h"
#include "core/runfile/output_files.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace kestrana {
namespace {

using common::Error;
using runfile::BlockResult;
using runfile::BlockTable;
using test::TempFolder;

// A row from the 23 numbers of a block line under the kilometre line 60, km from, km to.
BlockResult rowOf(int kmFrom, int kmTo, std::initializer_list<int> blockLine) {
    BlockResult row;
    row.field(1) = 60;
    row.field(2) = static_cast<std::int16_t>(kmFrom);
    row.field(3) = static_cast<std::int16_t>(kmTo);
    int n = 4;
    for (int value : blockLine) {
        row.field(n++) = static_cast<std::int16_t>(value);
    }
    return row;
}

TEST(SdOutput, HeaderWorkedExampleAndNumberForms) {
    BlockTable table;
    table.rows.push_back(rowOf(120, 121, {68, 3,  45, 38, 21,  12,  63, 59, 71, 68, 44, 49,
                                          26, 42, 95, 0,  115, 187, 50, 30, 20, 40, 0}));
    // Fields 1, 4, 19 and 26 carry values that must not show up anywhere in the line.
    table.rows.push_back(rowOf(-3, -4, {9999, 1,  -75, 5,    120, 125, 0, 1, 10, 11, 99,  100,
                                        101,  -7, 130, 8888, 5,   100, 1, 2, 3,  4,  7777}));
    table.rows.back().field(1) = 6666;
    EXPECT_EQ(runfile::sdOutputText(table),
              "\"km \",\"km \",\"BK \",\"U1L \",\"U1R \",\"TW1 \",\"G \",\"A1L \",\"A1R \",\"U2L \","
              "\"U2R \",\"A2L \",\"A2R \",\"TW2 \",\"TGI \",\"SPD \",\"RIV \",\"RIL \",\"TGU \",\"TGW \","
              "\"TGG \",\"TGL \"\r\n"
              "120,121,3,4.5,3.8,2.1,1.2,6.3,5.9,7.1,6.8,4.4,4.9,2.6,42,95,1.15,1.87,50,30,20,40\r\n"
              "-3,-4,1,-7.5,0.5,12,12.5,0,0.1,1,1.1,9.9,10,10.1,-7,130,0.05,1,1,2,3,4\r\n");
}

TEST(SdOutput, FileIsReplacedWholeOrNotAtAll) {
    TempFolder folder;
    BlockTable table;
    table.rows.push_back(rowOf(1, 2, {68, 1}));
    const std::string path = folder.file("out.txt");
    test::writeFile(path, std::string(10000, 'x'));
    ::chmod(path.c_str(), 0640);
    runfile::writeSdOutputFile(path, table);
    EXPECT_EQ(test::readFile(path), runfile::sdOutputText(table));
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_write |
                                                               std::filesystem::perms::group_read);
    // A read-only file, a folder and a file in a missing folder are failures that leave everything as
    // it was, with nothing beside them.
    const std::string readOnly = folder.file("ro.txt");
    test::writeFile(readOnly, "keep");
    ::chmod(readOnly.c_str(), 0444);
    std::filesystem::create_directory(folder.file("dir"));
    for (const auto& target : {readOnly, folder.file("dir"), folder.file("missing/out.txt")}) {
        EXPECT_THROW(runfile::writeSdOutputFile(target, table), Error) << target;
    }
    EXPECT_EQ(test::readFile(readOnly), "keep");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 3);
}

TEST(DesignPaths, DrivePathsMapIntoTheHomeFolder) {
    EXPECT_EQ(common::mapDesignPath("d:\\TRCDATA\\trcdata.run", "/h/K"), "/h/K/TRCDATA/trcdata.run");
    EXPECT_EQ(common::mapDesignPath("C:/temp.txt", "/h/K/"), "/h/K/temp.txt");
    EXPECT_EQ(common::mapDesignPath("/data/run 1.run", "/h/K"), "/data/run 1.run");
    EXPECT_EQ(common::mapDesignPath("a\\b.run", "/h/K"), "a\\b.run");
    EXPECT_EQ(common::mapDesignPath("c:", "/h/K"), "c:");
}

} // namespace
} // namespace kestrana
