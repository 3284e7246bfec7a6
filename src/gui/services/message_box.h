// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The program's message boxes: a message with an OK button, or a question with Yes and No, always
// under the application's title "Kestrana". Screens never call QMessageBox themselves; they call
// these, so the GUI tests can answer the question and read every text that was shown.
//
//     services::MessageBox::information(this, " Could not open file. Please type file name correctly.");
//     if (services::MessageBox::question(this, text) == services::MessageAnswer::Yes) ...

#include "gui/widgets/screen_setup.h"

#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace kestrana::gui::services {

// The title of every message box.
inline const QString kApplicationTitle = widgets::kProductName;

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// One message box as it was shown, with the answer it gave.
struct ShownMessage {
    QString text;
    QString title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer answer = MessageAnswer::Ok;
    bool offeredDontAskAgain = false; // the box had a "Don't ask again" check box
    bool dontAskAgain = false;        // ... and it was ticked
};

// The answer to a question that can be put aside for good.
struct QuestionReply {
    MessageAnswer answer = MessageAnswer::No;
    bool dontAskAgain = false;
};

class MessageBox {
public:
    // A modal message with one OK button.
    static void information(QWidget* parent, const QString& text);
    // A modal question with Yes and No; returns the button pressed (closing the box counts as No).
    static MessageAnswer question(QWidget* parent, const QString& text);
    // The same question with a "Don't ask again" check box under it.
    static QuestionReply questionOnce(QWidget* parent, const QString& text);

    // Test hooks. Answers are queued: each question takes the oldest one (information boxes take
    // none). Every box shown is recorded in order.
    static void setNextAnswer(MessageAnswer answer);
    // The next questionOnce box is answered with its check box ticked (or not: the default).
    static void setNextDontAskAgain(bool ticked);
    static const std::vector<ShownMessage>& shown();
    static QStringList shownTexts();
    static void reset();
};

} // namespace kestrana::gui::services
