// First start: the home folder is made and the bundled sample runs land in the screens' default
// places, byte for byte, never over a file that is already there.
#include "gui/app/first_start.h"
#include "support/test_support.h"

#include "platform/paths.h"

#include <QByteArray>
#include <QFile>
#include <QtGlobal>

#include <gtest/gtest.h>

#include <filesystem>

namespace app = kestrana::gui::app;
using kestrana::test::fileExists;
using kestrana::test::readFile;
using kestrana::test::TempFolder;

namespace {

std::string sampleFile(const std::string& name) {
    return readFile(std::string(KESTRANA_SAMPLES_DIR) + "/" + name);
}

} // namespace

TEST(FirstStart, CopiesEverySampleRunIntoItsDefaultPlace) {
    TempFolder folder;
    const std::string home = folder.file("new home");
    const app::FirstStartResult result = app::prepareHomeFolder(home);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.copied.size(), 6u);
    EXPECT_TRUE(result.kept.empty());

    EXPECT_EQ(readFile(home + "/TRCDATA/trcdata.run"), sampleFile("trcdata.run"));
    for (const char* name : {"trcdata0.run", "trcdata1.run", "trcdata2.run", "trcdata3.run"})
        EXPECT_EQ(readFile(home + "/TRCDATA/" + name), sampleFile(name)) << name;
    EXPECT_EQ(readFile(home + "/bbb/shtd0201.run"), sampleFile("shtd0201.run"));
    // The samples travel inside the program, not beside it.
    for (const app::SamplePlace& place : app::samplePlaces())
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/samples/") + QString::fromStdString(place.sample)))
            << place.sample;
    // The design's default paths now name real files.
    EXPECT_TRUE(fileExists(kestrana::platform::mapDesignPath("d:\\TRCDATA\\trcdata.run", home)));
    EXPECT_TRUE(fileExists(kestrana::platform::mapDesignPath("D:\\bbb\\shtd0201.run", home)));
}

TEST(FirstStart, NeverOverwritesAFileThatIsThere) {
    TempFolder folder;
    std::filesystem::create_directories(folder.file("TRCDATA"));
    kestrana::test::writeFile(folder.file("TRCDATA/trcdata0.run"), "my own run\r\n");

    const app::FirstStartResult result = app::prepareHomeFolder(folder.path());
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(readFile(folder.file("TRCDATA/trcdata0.run")), "my own run\r\n");
    EXPECT_EQ(result.kept, std::vector<std::string>{folder.file("TRCDATA/trcdata0.run")});
    EXPECT_EQ(result.copied.size(), 5u);

    // The next start finds everything in place and copies nothing.
    const app::FirstStartResult again = app::prepareHomeFolder(folder.path());
    EXPECT_TRUE(again.copied.empty());
    EXPECT_EQ(again.kept.size(), 6u);
}

TEST(FirstStart, AHomeThatCannotBeMadeIsReported) {
    TempFolder folder;
    kestrana::test::writeFile(folder.file("occupied"), "a file where the home folder should be");
    const app::FirstStartResult result = app::prepareHomeFolder(folder.file("occupied") + "/home");
    EXPECT_NE(result.error, "");
    EXPECT_TRUE(result.copied.empty());
}

TEST(FirstStart, WithoutAnArgumentItPreparesTheConfiguredHome) {
    TempFolder folder;
    qputenv("KESTRANA_HOME", QByteArray::fromStdString(folder.path()));
    const app::FirstStartResult result = app::prepareHomeFolder();
    EXPECT_EQ(result.copied.size(), 6u);
    EXPECT_TRUE(fileExists(folder.file("bbb/shtd0201.run")));
}
