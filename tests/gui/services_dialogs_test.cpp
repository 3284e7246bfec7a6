// The dialog services in test mode: queued answers are used in order, what was shown is recorded,
// and the file dialog remembers its last name as the screens rely on.
#include "gui/services/file_dialog.h"
#include "gui/services/message_box.h"
#include "gui/services/title_prompt.h"

#include <gtest/gtest.h>

namespace services = kestrana::gui::services;
using services::MessageAnswer;
using services::MessageBox;

TEST(MessageBox, QuestionsTakeTheQueuedAnswersInOrderAndEveryBoxIsRecorded) {
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
    EXPECT_EQ(shown[0].buttons, services::MessageButtons::Ok);
    EXPECT_EQ(shown[1].buttons, services::MessageButtons::YesNo);
    EXPECT_EQ(shown[1].answer, MessageAnswer::Yes);
    for (const services::ShownMessage& message : shown)
        EXPECT_EQ(message.title, QStringLiteral("Kestrana"));
}

TEST(TitlePrompt, ReturnsTypedTextEmptyOnCancelAndDefaultWhenUnanswered) {
    const QString prompt = QStringLiteral(" Enter Title ( if any ) to be printed on the hard copy");
    services::TitlePrompt::setNextText(QStringLiteral("Up line, March"));
    services::TitlePrompt::setNextCancel();
    for (const char* expected : {"Up line, March", "", "  "})
        EXPECT_EQ(services::TitlePrompt::ask(nullptr, prompt, QStringLiteral("Print Details"),
                                             QStringLiteral("  ")),
                  QString::fromLatin1(expected));

    const auto& shown = services::TitlePrompt::shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].prompt, prompt);
    EXPECT_EQ(shown[0].title, QStringLiteral("Print Details"));
    EXPECT_EQ(shown[0].defaultText, QStringLiteral("  "));
    EXPECT_EQ(std::vector<bool>({shown[0].cancelled, shown[1].cancelled, shown[2].cancelled}),
              std::vector<bool>({false, true, false}));
}

TEST(FileDialog, EachScreenRemembersItsLastChoiceWhichACancelledOpenGivesBack) {
    services::FileDialog fileDialog;
    services::FileDialog other;
    services::FileDialog::setNextCancel();
    EXPECT_EQ(fileDialog.showOpen(), QString()); // empty until a first choice
    EXPECT_TRUE(fileDialog.lastCancelled());

    services::FileDialog::setNextFileName(QStringLiteral("/runs/a.run"));
    EXPECT_EQ(fileDialog.showOpen(), QStringLiteral("/runs/a.run"));
    EXPECT_FALSE(fileDialog.lastCancelled());
    EXPECT_EQ(fileDialog.showOpen(), QStringLiteral("/runs/a.run")); // unanswered in test mode: cancelled
    EXPECT_TRUE(fileDialog.lastCancelled());
    EXPECT_EQ(other.showOpen(), QString());

    // Save gives no name on a cancel (the caller ends SAVE DETAILS), and a chosen name becomes the one
    // a later cancelled Browse gives back.
    services::FileDialog::setNextCancel();
    EXPECT_EQ(fileDialog.showSave(), QString());
    EXPECT_EQ(fileDialog.fileName(), QStringLiteral("/runs/a.run"));
    services::FileDialog::setNextFileName(QStringLiteral("/reports/up"));
    EXPECT_EQ(fileDialog.showSave(), QStringLiteral("/reports/up"));
    EXPECT_EQ(fileDialog.showOpen(), QStringLiteral("/reports/up"));

    const auto& shown = services::FileDialog::shown();
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[2].previousName, QStringLiteral("/runs/a.run"));
    EXPECT_EQ(shown[4].kind, services::FileDialogKind::Save);
    EXPECT_EQ(shown[6].kind, services::FileDialogKind::Open);
}
