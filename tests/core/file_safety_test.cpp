// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// What stands at an output path: links are written through, devices, pipes and folders are refused,
// and no output ever replaces a run file being read, under any name. Database names are always paths.

#include "core/analyser/processing.h"
#include "core/common/errors.h"
#include "core/common/paths.h"
#include "core/storage/record_store.h"
#include "run_generator.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana {
namespace {

namespace fs = std::filesystem;
using common::Error;
using test::readFile;
using test::TempFolder;
using test::writeFile;

// The reason of the failure `write` throws, or "" when it succeeds.
template <typename Write> std::string failureOf(Write&& write) {
    try {
        write();
        return "";
    } catch (const Error& error) {
        return error.reason();
    }
}

TEST(OutputPaths, LinksAreWrittenThroughSpecialFilesAndRunsBeingReadNeverReplaced) {
    TempFolder folder;
    writeFile(folder.file("target.txt"), "old");
    fs::create_symlink("target.txt", folder.file("link.txt"));
    fs::create_symlink("link.txt", folder.file("link-to-link.txt"));
    fs::create_symlink("new.txt", folder.file("dangling.txt"));
    fs::create_symlink("/dev/null", folder.file("device.txt"));
    ASSERT_EQ(::mkfifo(folder.file("pipe.txt").c_str(), 0600), 0);
    fs::create_directory(folder.file("folder.txt"));

    struct Case {
        std::string name;
        std::string refusal;     // part of the reason; "" when the write goes through
        std::string writtenFile; // the file that then holds the new text
    };
    const Case cases[] = {
        {"link.txt", "", "target.txt"},          {"link-to-link.txt", "", "target.txt"},
        {"dangling.txt", "", "new.txt"},         {"device.txt", "it is a device", ""},
        {"pipe.txt", "it is a pipe (FIFO)", ""}, {"folder.txt", "it is a folder", ""},
    };
    for (const Case& c : cases) {
        const auto before = fs::symlink_status(folder.file(c.name)).type();
        const std::string reason =
            failureOf([&] { common::writeFileAtomically(folder.file(c.name), "new " + c.name); });
        EXPECT_NE(reason.find(c.refusal), std::string::npos) << c.name << ": " << reason;
        EXPECT_EQ(reason.empty(), c.refusal.empty()) << c.name << ": " << reason;
        EXPECT_EQ(fs::symlink_status(folder.file(c.name)).type(), before) << c.name << " was replaced";
        if (!c.writtenFile.empty()) {
            EXPECT_EQ(readFile(folder.file(c.writtenFile)), "new " + c.name);
        }
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    // Nothing half-made is left: the seven names and the new file only.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 8);
    // No output replaces a run being read, under any name.
    TempFolder runs;
    const std::string run = runs.file("run.run");
    const std::string text = generator::generateRun(generator::RunRecipe{});
    writeFile(run, text);
    fs::create_symlink("run.run", runs.file("link.run"));
    fs::create_hard_link(run, runs.file("hard.run"));

    for (const std::string name : {"run.run", "link.run", "hard.run"}) {
        const std::string output = runs.file(name);
        // PROCESS DATA refuses before anything is written...
        EXPECT_NE(failureOf([&] { analyser::processData(run, output); }).find("run file"), std::string::npos)
            << name;
        // ...and a later saved report or print may not replace the run either.
        EXPECT_NE(failureOf([&] { common::writeFileAtomically(output, "report"); }).find("run file"),
                  std::string::npos)
            << name;
        EXPECT_EQ(readFile(run), text) << name;
    }
    EXPECT_TRUE(fs::is_symlink(runs.file("link.run")));
    // Other files are written as before.
    const auto processed = analyser::processData(run, runs.file("Trcout.txt"));
    EXPECT_EQ(processed.kmFrom, "120");
}

TEST(RecordStoreNames, ANameBeginningWithFileIsAPathNotAUri) {
    TempFolder folder;
    const fs::path previous = fs::current_path();
    fs::current_path(folder.path());
    for (const std::string base : {"file:store", "file:other?mode=memory", ":memory:"}) {
        std::string reason;
        try {
            auto store = storage::RecordStore::create(base);
            store.defineTable("t", {"a"});
        } catch (const Error& error) {
            reason = error.reason();
        }
        EXPECT_EQ(reason, "") << base;
        EXPECT_TRUE(fs::is_regular_file(folder.file(base + ".sqlite"))) << base;
        EXPECT_NO_THROW((void)storage::RecordStore::open(base)) << base;
    }
    EXPECT_FALSE(fs::exists(folder.file("store.sqlite")));
    fs::current_path(previous);
}

} // namespace
} // namespace kestrana
