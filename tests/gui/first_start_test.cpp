// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// First start: the home folder is made and the bundled sample runs land in the screens' default
// places, byte for byte, never over anything that is already there.
#include "gui/app/first_start.h"
#include "support/test_support.h"

#include "core/common/paths.h"
#include "core/library/sqlite_run_library.h"

#include <QByteArray>
#include <QFile>

#include <gtest/gtest.h>

#include <filesystem>

namespace app = kestrana::gui::app;
namespace fs = std::filesystem;
using kestrana::test::readFile;
using kestrana::test::TempFolder;

TEST(FirstStart, CopiesEveryBundledSampleRunToTheDefaultPathsOfTheConfiguredHome) {
    TempFolder folder;
    const std::string home = folder.file("new home");
    qputenv("KESTRANA_HOME", QByteArray::fromStdString(home));
    const app::FirstStartResult result = app::prepareHomeFolder();
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.copied.size(), 25u); // 24 runs and the sample library
    EXPECT_TRUE(result.kept.empty());
    for (const char* design :
         {"d:\\TRCDATA\\trcdata.run", "d:\\TRCDATA\\trcdata0.run", "d:\\TRCDATA\\trcdata1.run",
          "d:\\TRCDATA\\trcdata2.run", "d:\\TRCDATA\\trcdata3.run", "D:\\bbb\\shtd0201.run"}) {
        const std::string path = kestrana::common::mapDesignPath(design, home);
        const std::string name = fs::path(path).filename().string();
        EXPECT_EQ(readFile(path), readFile(std::string(KESTRANA_SAMPLES_DIR) + "/" + name)) << design;
        // The samples travel inside the program, not beside it.
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/samples/") + QString::fromStdString(name))) << name;
    }
}

TEST(FirstStart, NeverReplacesAFileOrALinkThatIsThere) {
    TempFolder folder;
    fs::create_directories(folder.file("TRCDATA"));
    kestrana::test::writeFile(folder.file("TRCDATA/trcdata0.run"), "my own run\r\n");
    // A link to a run on a drive that is not mounted now is still the user's.
    fs::create_symlink(folder.file("unmounted/run.run"), folder.file("TRCDATA/trcdata1.run"));

    const app::FirstStartResult result = app::prepareHomeFolder(folder.path());
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(readFile(folder.file("TRCDATA/trcdata0.run")), "my own run\r\n");
    EXPECT_TRUE(fs::is_symlink(folder.file("TRCDATA/trcdata1.run")));
    EXPECT_EQ(result.kept.size(), 2u);
    EXPECT_EQ(result.copied.size(), 23u);

    const app::FirstStartResult again = app::prepareHomeFolder(folder.path());
    EXPECT_TRUE(again.copied.empty());
    EXPECT_EQ(again.kept.size(), 24u); // the runs; the sample library is made only with its folder
}

TEST(FirstStart, MakesTheSampleLibraryBesideTheHistoryRunsOnlyWithTheirFolderAndNeverTheUsersLibrary) {
    namespace library = kestrana::library;
    TempFolder folder;
    const app::FirstStartResult result = app::prepareHomeFolder(folder.path());
    ASSERT_EQ(result.error, "");
    const std::string samples = folder.file("HISTORY/samples.sqlite");
    EXPECT_EQ(library::sampleLibraryPath(folder.path()), samples);
    {
        const auto library = library::openSqliteLibrary(samples, library::LibraryAccess::OpenExisting);
        const auto runs = library->runs();
        ASSERT_EQ(runs.size(), 18u);
        EXPECT_EQ(runs.front().file, folder.file("HISTORY/history01.run"));
        EXPECT_EQ(library->series().size(), 2u);
    }
    // The user's library starts empty: the screen or the first import makes it.
    EXPECT_FALSE(fs::exists(folder.file("library.sqlite")));

    // Deleted, the sample library stays deleted, and so does a sample run the user moved away, as long
    // as the samples' folder is there; the other samples come back as before.
    fs::remove(samples);
    fs::remove(folder.file("TRCDATA/trcdata.run"));
    const app::FirstStartResult again = app::prepareHomeFolder(folder.path());
    EXPECT_EQ(again.error, "");
    EXPECT_FALSE(fs::exists(samples));
    EXPECT_EQ(again.copied, std::vector<std::string>{folder.file("TRCDATA/trcdata.run")});
    EXPECT_FALSE(fs::exists(folder.file("library.sqlite")));

    // A whole new samples' folder gets its library again, and nothing is left beside it.
    fs::remove_all(folder.file("HISTORY"));
    EXPECT_EQ(app::prepareHomeFolder(folder.path()).error, "");
    EXPECT_EQ(library::openSqliteLibrary(samples, library::LibraryAccess::OpenExisting)->runs().size(), 18u);
    for (const auto& entry : fs::directory_iterator(folder.file("HISTORY"))) {
        EXPECT_EQ(entry.path().filename().string().find(".building"), std::string::npos)
            << "nothing left behind";
    }
}

TEST(FirstStart, AHomeThatCannotBeMadeIsReported) {
    TempFolder folder;
    kestrana::test::writeFile(folder.file("occupied"), "a file where the home folder should be");
    const app::FirstStartResult result = app::prepareHomeFolder(folder.file("occupied") + "/home");
    EXPECT_NE(result.error, "");
    EXPECT_TRUE(result.copied.empty());
}
