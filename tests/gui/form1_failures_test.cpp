// A PROCESS DATA that fails and the operations that refuse what was typed: each shows its message
// and changes nothing the screen shows or the later operations read.

#include "form1_fixture.h"

#include "analyser/messages.h"
#include "analyser/session.h"
#include "gui/platform/file_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QStackedWidget>

namespace {

using namespace kestrana::test::form1_support;
using kestrana::gui::platform::FileDialog;

const QString kCouldNotOpen = " Could not open file. Please type file name correctly.";

QString messageOf(std::string_view text) {
    return q(std::string(text));
}

// What the screen shows after an operation, to compare before and after a refusal.
struct Shown {
    QStringList texts;
    QStringList list1;
    QWidget* onTop = nullptr;
    bool operator==(const Shown&) const = default;
};

Shown shownOn(const form1* screen) {
    Shown shown;
    for (QLineEdit* box : {screen->txtrundate, screen->txtrunno, screen->txtkmfrom, screen->txtkmto})
        shown.texts << box->text();
    for (QLabel* label : {screen->lblsection, screen->Label3, screen->Label4, screen->Label5, screen->Label6,
                          screen->Label7, screen->lblavgtgi, screen->Label18})
        shown.texts << label->text();
    shown.texts << screen->List2->entries();
    shown.list1 = screen->List1->entries();
    shown.onTop = screen->listingArea->currentWidget();
    return shown;
}

class Form1Failures : public Form1Test {};

TEST_F(Form1Failures, AMissingRunFileKeepsThePreviousRunAndItsViewsWorking) {
    form1* screen = open();
    processToDetails(screen, writeRun("good.run", exampleRun()));
    click(screen->Command4);
    const Shown before = shownOn(screen);
    const std::size_t rows = kestrana::analyser::analyserSession().table.rows.size();

    type(screen->Text1, folder.file("no-such.run"));
    click(screen->Command1);
    EXPECT_EQ(messages(), QStringList{kCouldNotOpen});
    EXPECT_EQ(shownOn(screen), before);
    EXPECT_EQ(kestrana::analyser::analyserSession().table.rows.size(), rows);

    // The old results still print and save, the section of the run they came from included.
    FileDialog::setNextFileName(q(folder.file("after-failure")));
    click(screen->Command10);
    const std::string saved = kestrana::test::readFile(folder.file("after-failure.txt"));
    EXPECT_EQ(saved.substr(0, saved.find("\r\n")), "BHOPAL DOWN MAIN LINRun Date : 040526");
    EXPECT_EQ(messages(), QStringList{kCouldNotOpen});
}

TEST_F(Form1Failures, AnOutputFileThatCannotBeWrittenChangesNothing) {
    form1* screen = open();
    process(screen, writeRun("first.run", exampleRun()));
    click(screen->Command2);
    const Shown before = shownOn(screen);

    kestrana::bench::RunSpec spec;
    spec.startKm = 500;
    type(screen->Text1, writeRun("second.run", kestrana::bench::generateRun(spec)));
    type(screen->Text2, folder.file("missing-folder/out.txt"));
    click(screen->Command1);
    EXPECT_EQ(messages(), QStringList{kCouldNotOpen});
    EXPECT_EQ(shownOn(screen), before);
    EXPECT_EQ(kestrana::analyser::analyserSession().table.kmFrom(), 100);
    EXPECT_FALSE(screen->Command2->isEnabled());

    // The same run with a good output path goes through.
    type(screen->Text2, folder.file("out.txt"));
    click(screen->Command1);
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(screen->txtkmfrom->text(), "500");
    EXPECT_TRUE(screen->Command2->isEnabled());
}

TEST_F(Form1Failures, ARunWithoutBlockLinesIsAFailureToo) {
    form1* screen = open();
    type(screen->Text1, writeRun("empty.run", handRun({})));
    click(screen->Command1);
    EXPECT_EQ(messages(), QStringList{kCouldNotOpen});
    EXPECT_TRUE(screen->txtkmfrom->text().isEmpty());
    EXPECT_FALSE(screen->Command2->isEnabled());
}

TEST_F(Form1Failures, ARefusedRangeLeavesTheFiguresAndTheChart) {
    form1* screen = open();
    process(screen, writeRun("range.run", exampleRun()));
    click(screen->Command2);
    click(screen->Command3);
    const Shown before = shownOn(screen);
    const auto range = kestrana::analyser::analyserSession().range;

    type(screen->txtskm, "abc");
    click(screen->Command2);
    type(screen->txtskm, "40000");
    click(screen->Command2);
    // No block lies wholly inside km 100 to 100.
    type(screen->txtskm, "100");
    type(screen->txtekm, "100");
    click(screen->Command2);
    EXPECT_EQ(messages(), QStringList({messageOf(kestrana::analyser::kRangeRefusedMessage),
                                       messageOf(kestrana::analyser::kRangeRefusedMessage),
                                       messageOf(kestrana::analyser::kNoBlockInRangeMessage)}));
    EXPECT_EQ(shownOn(screen), before);
    EXPECT_EQ(kestrana::analyser::analyserSession().range, range);
}

TEST_F(Form1Failures, RefusedBoundsAndIndexLeaveTheListingAndTheShare) {
    form1* screen = open();
    processToDetails(screen, writeRun("bounds.run", exampleRun()));
    click(screen->Command4);
    const Shown before = shownOn(screen);
    const auto listingBounds = kestrana::analyser::analyserSession().listingBounds;
    const auto shareBounds = kestrana::analyser::analyserSession().shareBounds;

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
    EXPECT_EQ(messages(), QStringList({messageOf(kestrana::analyser::kListingBoundsRefusedMessage),
                                       messageOf(kestrana::analyser::kListingBoundsRefusedMessage),
                                       messageOf(kestrana::analyser::kIndexRefusedMessage),
                                       messageOf(kestrana::analyser::kShareBoundsRefusedMessage)}));
    EXPECT_EQ(shownOn(screen), before);
    EXPECT_EQ(kestrana::analyser::analyserSession().listingBounds, listingBounds);
    EXPECT_EQ(kestrana::analyser::analyserSession().shareBounds, shareBounds);
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
    EXPECT_TRUE(screen->Command5->isEnabled());
    EXPECT_TRUE(screen->Command10->isEnabled());
}

} // namespace
