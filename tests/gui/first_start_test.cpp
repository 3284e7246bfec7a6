// First start: the home folder is made and the bundled sample runs land in the screens' default
// places, byte for byte, never over anything that is already there.
#include "gui/app/first_start.h"
#include "support/test_support.h"

#include "core/history/sqlite_run_library.h"
#include "core/platform/paths.h"

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
    EXPECT_EQ(result.copied.size(), 19u); // 18 runs and the library
    EXPECT_TRUE(result.kept.empty());
    for (const char* design :
         {"d:\\TRCDATA\\trcdata.run", "d:\\TRCDATA\\trcdata0.run", "d:\\TRCDATA\\trcdata1.run",
          "d:\\TRCDATA\\trcdata2.run", "d:\\TRCDATA\\trcdata3.run", "D:\\bbb\\shtd0201.run"}) {
        const std::string path = kestrana::platform::mapDesignPath(design, home);
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
    EXPECT_EQ(result.copied.size(), 17u);

    const app::FirstStartResult again = app::prepareHomeFolder(folder.path());
    EXPECT_TRUE(again.copied.empty());
    EXPECT_EQ(again.kept.size(), 19u);
}

TEST(FirstStart, PutsASampleLibraryOfTheHistoryRunsOnlyWhereThereIsNone) {
    TempFolder folder;
    const app::FirstStartResult result = app::prepareHomeFolder(folder.path());
    ASSERT_EQ(result.error, "");
    const auto library = kestrana::history::openSqliteLibrary(folder.file("library.sqlite"),
                                                              kestrana::history::LibraryAccess::OpenExisting);
    const auto runs = library->runs();
    ASSERT_EQ(runs.size(), 12u);
    EXPECT_EQ(runs.front().file, folder.file("HISTORY/history01.run"));
    EXPECT_EQ(library->series().size(), 1u);

    TempFolder other;
    kestrana::test::writeFile(other.file("library.sqlite"), "the user's own file");
    EXPECT_EQ(app::prepareHomeFolder(other.path()).error, "");
    EXPECT_EQ(readFile(other.file("library.sqlite")), "the user's own file");
    EXPECT_EQ(fs::directory_iterator(other.path()) == fs::directory_iterator(), false);
    for (const auto& entry : fs::directory_iterator(other.path())) {
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
