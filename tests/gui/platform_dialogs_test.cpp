// The dialog services in test mode: queued answers are used in order, what was shown is recorded,
// and the file dialog remembers its last name as the screens rely on.
#include "gui/platform/file_dialog.h"
#include "gui/platform/message_box.h"
#include "gui/platform/title_prompt.h"

#include <gtest/gtest.h>

namespace platform = kestrana::gui::platform;
using platform::MessageAnswer;
using platform::MessageBox;

TEST(PlatformMessageBox, QuestionsTakeTheQueuedAnswersInOrderAndEveryBoxIsRecorded) {
    MessageBox::setNextAnswer(MessageAnswer::Yes);
    MessageBox::setNextAnswer(MessageAnswer::No);
    MessageBox::information(nullptr, QStringLiteral(" Could not open file."));
    EXPECT_EQ(MessageBox::question(nullptr, QStringLiteral("q1")), MessageAnswer::Yes);
    EXPECT_EQ(MessageBox::question(nullptr, QStringLiteral("q2")), MessageAnswer::No);
    // Nothing queued: test mode answers No instead of blocking on a real box.
    EXPECT_EQ(MessageBox::question(nullptr, QStringLiteral("q3")), MessageAnswer::No);

    const auto& shown = MessageBox::shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(MessageBox::shownTexts(), (QStringList{" Could not open file.", "q1", "q2", "q3"}));
    EXPECT_EQ(shown[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(shown[1].buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(shown[1].answer, MessageAnswer::Yes);
    for (const platform::ShownMessage& message : shown)
        EXPECT_EQ(message.title, QStringLiteral("Kestrana"));
}

TEST(PlatformTitlePrompt, ReturnsTypedTextEmptyOnCancelAndDefaultWhenUnanswered) {
    const QString prompt = QStringLiteral(" Enter Title ( if any ) to be printed on the hard copy");
    platform::TitlePrompt::setNextText(QStringLiteral("Up line, March"));
    platform::TitlePrompt::setNextCancel();
    for (const char* expected : {"Up line, March", "", "  "})
        EXPECT_EQ(platform::TitlePrompt::ask(nullptr, prompt, QStringLiteral("Print Details"),
                                             QStringLiteral("  ")),
                  QString::fromLatin1(expected));

    const auto& shown = platform::TitlePrompt::shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].prompt, prompt);
    EXPECT_EQ(shown[0].title, QStringLiteral("Print Details"));
    EXPECT_EQ(shown[0].defaultText, QStringLiteral("  "));
    EXPECT_EQ(std::vector<bool>({shown[0].cancelled, shown[1].cancelled, shown[2].cancelled}),
              std::vector<bool>({false, true, false}));
}

TEST(PlatformFileDialog, EachScreenRemembersItsLastChoiceWhichACancelledOpenGivesBack) {
    platform::FileDialog cd1;
    platform::FileDialog other;
    platform::FileDialog::setNextCancel();
    EXPECT_EQ(cd1.showOpen(), QString()); // empty until a first choice
    EXPECT_TRUE(cd1.lastCancelled());

    platform::FileDialog::setNextFileName(QStringLiteral("/runs/a.run"));
    EXPECT_EQ(cd1.showOpen(), QStringLiteral("/runs/a.run"));
    EXPECT_FALSE(cd1.lastCancelled());
    EXPECT_EQ(cd1.showOpen(), QStringLiteral("/runs/a.run")); // unanswered in test mode: cancelled
    EXPECT_TRUE(cd1.lastCancelled());
    EXPECT_EQ(other.showOpen(), QString());

    // Save gives no name on a cancel (the caller ends SAVE DETAILS), and a chosen name becomes the one
    // a later cancelled Browse gives back.
    platform::FileDialog::setNextCancel();
    EXPECT_EQ(cd1.showSave(), QString());
    EXPECT_EQ(cd1.fileName(), QStringLiteral("/runs/a.run"));
    platform::FileDialog::setNextFileName(QStringLiteral("/reports/up"));
    EXPECT_EQ(cd1.showSave(), QStringLiteral("/reports/up"));
    EXPECT_EQ(cd1.showOpen(), QStringLiteral("/reports/up"));

    const auto& shown = platform::FileDialog::shown();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[2].previousName, QStringLiteral("/runs/a.run"));
    EXPECT_EQ(shown[4].kind, platform::FileDialogKind::Save);
    EXPECT_EQ(shown[6].kind, platform::FileDialogKind::Open);
}
