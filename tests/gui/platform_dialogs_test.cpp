// The dialog services in test mode: queued answers are used in order, what was shown is recorded,
// and the file dialog remembers its last name as the screens rely on.
#include "gui/platform/file_dialog.h"
#include "gui/platform/message_box.h"
#include "gui/platform/title_prompt.h"

#include <gtest/gtest.h>

namespace platform = kestrana::gui::platform;
using platform::MessageAnswer;

TEST(PlatformMessageBox, RecordsEveryBoxWithTitleButtonsAndAnswer) {
    platform::MessageBox::information(
        nullptr, QStringLiteral(" Could not open file. Please type file name correctly."));
    platform::MessageBox::setNextAnswer(MessageAnswer::Yes);
    EXPECT_EQ(platform::MessageBox::question(nullptr, QStringLiteral("Change it?")), MessageAnswer::Yes);

    const auto& shown = platform::MessageBox::shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, QStringLiteral(" Could not open file. Please type file name correctly."));
    EXPECT_EQ(shown[0].title, QStringLiteral("Kestrana"));
    EXPECT_EQ(shown[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(shown[1].buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(shown[1].answer, MessageAnswer::Yes);
    EXPECT_EQ(shown[1].title, QStringLiteral("Kestrana"));
}

TEST(PlatformMessageBox, AnswersAreQueuedForQuestionsOnlyAndDefaultToNo) {
    platform::MessageBox::setNextAnswer(MessageAnswer::Yes);
    platform::MessageBox::setNextAnswer(MessageAnswer::No);
    // An information box in between takes no answer from the queue.
    platform::MessageBox::information(nullptr, QStringLiteral("first"));
    EXPECT_EQ(platform::MessageBox::question(nullptr, QStringLiteral("q1")), MessageAnswer::Yes);
    EXPECT_EQ(platform::MessageBox::question(nullptr, QStringLiteral("q2")), MessageAnswer::No);
    platform::MessageBox::setNextAnswer(MessageAnswer::Yes);
    platform::MessageBox::reset();
    // Nothing queued: test mode answers No instead of blocking on a real box.
    EXPECT_EQ(platform::MessageBox::question(nullptr, QStringLiteral("q3")), MessageAnswer::No);
    EXPECT_EQ(platform::MessageBox::shownTexts(), QStringList{QStringLiteral("q3")});
}

TEST(PlatformTitlePrompt, ReturnsTypedTextEmptyOnCancelAndDefaultWhenUnanswered) {
    const QString prompt = QStringLiteral(" Enter Title ( if any ) to be printed on the hard copy");
    platform::TitlePrompt::setNextText(QStringLiteral("Up line, March"));
    platform::TitlePrompt::setNextCancel();
    EXPECT_EQ(
        platform::TitlePrompt::ask(nullptr, prompt, QStringLiteral("Print Details"), QStringLiteral("  ")),
        QStringLiteral("Up line, March"));
    EXPECT_EQ(
        platform::TitlePrompt::ask(nullptr, prompt, QStringLiteral("Print Graph"), QStringLiteral("  ")),
        QString());
    EXPECT_EQ(
        platform::TitlePrompt::ask(nullptr, prompt, QStringLiteral("Print Graph"), QStringLiteral("  ")),
        QStringLiteral("  "));

    const auto& shown = platform::TitlePrompt::shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].prompt, prompt);
    EXPECT_EQ(shown[0].title, QStringLiteral("Print Details"));
    EXPECT_EQ(shown[0].defaultText, QStringLiteral("  "));
    EXPECT_FALSE(shown[0].cancelled);
    EXPECT_TRUE(shown[1].cancelled);
    EXPECT_EQ(shown[1].result, QString());
    EXPECT_FALSE(shown[2].cancelled);
}

TEST(PlatformFileDialog, OpenRemembersTheLastChoiceAndACancelGivesItBack) {
    platform::FileDialog cd1;
    // A cancel before any choice leaves the name empty.
    platform::FileDialog::setNextCancel();
    EXPECT_EQ(cd1.showOpen(), QString());
    EXPECT_TRUE(cd1.lastCancelled());

    platform::FileDialog::setNextFileName(QStringLiteral("/runs/a.run"));
    EXPECT_EQ(cd1.showOpen(), QStringLiteral("/runs/a.run"));
    EXPECT_FALSE(cd1.lastCancelled());
    // Unanswered in test mode: cancelled, the previous name comes back.
    EXPECT_EQ(cd1.showOpen(), QStringLiteral("/runs/a.run"));
    EXPECT_TRUE(cd1.lastCancelled());

    const auto& shown = platform::FileDialog::shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].previousName, QStringLiteral("/runs/a.run"));
    EXPECT_TRUE(shown[2].cancelled);
    EXPECT_EQ(shown[1].kind, platform::FileDialogKind::Open);
}

TEST(PlatformFileDialog, SaveGivesNoNameOnCancelButSharesTheMemoryWithOpen) {
    platform::FileDialog cd1;
    platform::FileDialog::setNextFileName(QStringLiteral("/runs/a.run"));
    cd1.showOpen();

    platform::FileDialog::setNextCancel();
    EXPECT_EQ(cd1.showSave(), QString()); // the caller ends SAVE DETAILS here
    EXPECT_EQ(cd1.fileName(), QStringLiteral("/runs/a.run"));

    platform::FileDialog::setNextFileName(QStringLiteral("/reports/up"));
    EXPECT_EQ(cd1.showSave(), QStringLiteral("/reports/up"));
    // The next Browse that is cancelled gives back the name chosen for the report.
    platform::FileDialog::setNextCancel();
    EXPECT_EQ(cd1.showOpen(), QStringLiteral("/reports/up"));
    EXPECT_EQ(platform::FileDialog::shown()[1].kind, platform::FileDialogKind::Save);
}

TEST(PlatformFileDialog, EachScreenHasItsOwnMemory) {
    platform::FileDialog analyser;
    platform::FileDialog comparator;
    platform::FileDialog::setNextFileName(QStringLiteral("/runs/a.run"));
    analyser.showOpen();
    platform::FileDialog::setNextCancel();
    EXPECT_EQ(comparator.showOpen(), QString());
    EXPECT_EQ(analyser.fileName(), QStringLiteral("/runs/a.run"));
}
