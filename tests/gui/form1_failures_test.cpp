// A PROCESS DATA that fails and the operations that refuse what was typed: each shows its message
// and changes nothing the screen shows or the later operations read.

#include "form1_fixture.h"

#include "analyser/messages.h"
#include "analyser/processing.h"
#include "analyser/session.h"
#include "gui/platform/file_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>

namespace {

using namespace kestrana::test::form1_support;
using kestrana::gui::platform::FileDialog;
namespace core = kestrana::analyser;

// What the screen shows, and what the session keeps, to compare before and after a refusal.
struct Shown {
    QStringList texts;
    QWidget* onTop = nullptr;
    core::AnalysisRange range;
    core::ListingBounds listingBounds;
    core::ShareBounds shareBounds;
    std::size_t rows = 0;
    bool operator==(const Shown&) const = default;
};

Shown shownOn(const form1* screen) {
    Shown shown;
    for (QLineEdit* box : {screen->txtrundate, screen->txtrunno, screen->txtkmfrom, screen->txtkmto})
        shown.texts << box->text();
    for (QLabel* label : {screen->lblsection, screen->Label3, screen->Label4, screen->Label5, screen->Label6,
                          screen->Label7, screen->lblavgtgi, screen->Label18})
        shown.texts << label->text();
    shown.texts << screen->List2->entries() << screen->List1->entries();
    shown.onTop = screen->listingArea->currentWidget();
    const core::AnalyserSession& session = core::analyserSession();
    shown.range = session.range;
    shown.listingBounds = session.listingBounds;
    shown.shareBounds = session.shareBounds;
    shown.rows = session.table.rows.size();
    return shown;
}

class Form1Failures : public Form1Test {};

TEST_F(Form1Failures, AFailedProcessDataKeepsThePreviousRunAndItsViewsWorking) {
    form1* screen = open();
    processToDetails(screen, writeRun("good.run", exampleRun()));
    click(screen->Command4);
    const Shown before = shownOn(screen);

    kestrana::bench::RunRecipe recipe;
    recipe.startKm = 500;
    const std::string other = writeRun("second.run", kestrana::bench::generateRun(recipe));
    // A missing run, a run without block lines, an output file that cannot be written, folders.
    const std::vector<std::pair<std::string, std::string>> failures = {
        {folder.file("no-such.run"), folder.file("out.txt")},
        {writeRun("empty.run", handRun({})), folder.file("out.txt")},
        {other, folder.file("missing-folder/out.txt")},
        {folder.path(), folder.file("out.txt")},
        {other, folder.path()}};
    for (const auto& [run, output] : failures) {
        type(screen->Text1, run);
        type(screen->Text2, output);
        click(screen->Command1);
        EXPECT_EQ(messages().value(messages().size() - 1), q(core::kProcessFailedMessage)) << run;
        EXPECT_EQ(shownOn(screen), before) << run;
        EXPECT_FALSE(screen->Command2->isEnabled()) << run;
    }
    EXPECT_EQ(messages().size(), 5);

    // The old results still save, the section of the run they came from included.
    FileDialog::setNextFileName(q(folder.file("after-failure")));
    click(screen->Command10);
    const std::string saved = kestrana::test::readFile(folder.file("after-failure.txt"));
    EXPECT_EQ(saved.substr(0, saved.find("\r\n")), "BHOPAL DOWN MAIN LINRun Date : 040526");

    // The run with a good output path goes through.
    type(screen->Text1, other);
    type(screen->Text2, folder.file("out.txt"));
    click(screen->Command1);
    EXPECT_EQ(messages().size(), 5);
    EXPECT_EQ(screen->txtkmfrom->text(), "500");
    EXPECT_TRUE(screen->Command2->isEnabled());
}

TEST_F(Form1Failures, ARunWithoutAHeaderLineShowsNoRunNumberOfTheRunBefore) {
    form1* screen = open();
    process(screen, writeRun("first.run", exampleRun()));
    EXPECT_EQ(screen->txtrunno->text(), "7");
    process(screen, writeRun("headless.run", handRun({{200, 201, {HandBlock{}}}}, 0)));
    EXPECT_TRUE(messages().isEmpty()) << s(messages().join("|"));
    EXPECT_EQ(screen->txtkmfrom->text(), "200");
    EXPECT_TRUE(screen->txtrunno->text().isEmpty());
    EXPECT_TRUE(screen->txtrundate->text().isEmpty());
}

TEST_F(Form1Failures, RefusedRangesBoundsAndIndexLeaveEverythingAsItWas) {
    form1* screen = open();
    processToDetails(screen, writeRun("bounds.run", exampleRun()));
    click(screen->Command4);
    const Shown before = shownOn(screen);

    type(screen->txtskm, "abc");
    click(screen->Command2);
    type(screen->txtskm, "40000");
    click(screen->Command2);
    type(screen->txtskm, "100"); // no block lies wholly inside km 100 to 100
    type(screen->txtekm, "100");
    click(screen->Command2);
    type(screen->Text3, "low");
    click(screen->Command3);
    type(screen->Text3, "1");
    type(screen->Text4, "32767"); // 32767 + 1 leaves the 16-bit range
    click(screen->Command3);
    type(screen->Text4, "35");
    screen->Combo1->setCurrentText("TGIX");
    click(screen->Command3);
    type(screen->Text6, "");
    click(screen->Command4);
    EXPECT_EQ(messages(), QStringList({q(core::kRangeRefusedMessage), q(core::kRangeRefusedMessage),
                                       q(core::kNoBlockInRangeMessage), q(core::kListingBoundsRefusedMessage),
                                       q(core::kListingBoundsRefusedMessage), q(core::kIndexRefusedMessage),
                                       q(core::kShareBoundsRefusedMessage)}));
    EXPECT_EQ(shownOn(screen), before);
}

TEST_F(Form1Failures, AnEmptyListingIsNoRefusal) {
    form1* screen = open();
    process(screen, writeRun("none.run", exampleRun()));
    click(screen->Command2);
    type(screen->Text3, "200");
    type(screen->Text4, "300");
    click(screen->Command3);
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(screen->List1->count(), 0);
    EXPECT_EQ(screen->List2->count(), 1);
    EXPECT_TRUE(screen->Command5->isEnabled() && screen->Command10->isEnabled());
}

} // namespace
