// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/services/message_box.h"

#include "gui/services/test_hook.h"
#include "gui/services/test_mode.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>

namespace kestrana::gui::services {

namespace {

TestHook<MessageAnswer, ShownMessage>& hook() {
    static TestHook<MessageAnswer, ShownMessage> messages;
    return messages;
}

// A box is centred on its screen while that screen is still hidden (the main menu asks its
// question before it first appears).
QWidget* visibleParent(QWidget* parent) {
    return parent != nullptr && parent->isVisible() ? parent : nullptr;
}

} // namespace

void MessageBox::information(QWidget* parent, const QString& text) {
    hook().record({text, kApplicationTitle, MessageButtons::Ok, MessageAnswer::Ok, false, false});
    if (inTestMode())
        return;
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, visibleParent(parent));
    box.exec();
}

namespace {

// The ticks queued for the check boxes of questionOnce.
TestHook<bool, NoAnswer>& dontAskHook() {
    static TestHook<bool, NoAnswer> ticks;
    return ticks;
}

QuestionReply ask(QWidget* parent, const QString& text, bool offerDontAsk) {
    QuestionReply reply;
    if (std::optional<MessageAnswer> queued = hook().takeNext()) {
        reply.answer = *queued;
        reply.dontAskAgain = offerDontAsk && dontAskHook().takeNext().value_or(false);
    } else if (!inTestMode()) {
        QMessageBox box(QMessageBox::Question, kApplicationTitle, text, QMessageBox::Yes | QMessageBox::No,
                        visibleParent(parent));
        box.setEscapeButton(QMessageBox::No);
        if (offerDontAsk)
            box.setCheckBox(
                new QCheckBox(QCoreApplication::translate("MessageBox", "Don't ask again"), &box));
        reply.answer = box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
        reply.dontAskAgain = offerDontAsk && box.checkBox()->isChecked();
    }
    hook().record(
        {text, kApplicationTitle, MessageButtons::YesNo, reply.answer, offerDontAsk, reply.dontAskAgain});
    return reply;
}

} // namespace

MessageAnswer MessageBox::question(QWidget* parent, const QString& text) {
    return ask(parent, text, false).answer;
}

QuestionReply MessageBox::questionOnce(QWidget* parent, const QString& text) {
    return ask(parent, text, true);
}

void MessageBox::setNextDontAskAgain(bool ticked) {
    dontAskHook().queue(ticked);
}

void MessageBox::setNextAnswer(MessageAnswer answer) {
    hook().queue(answer);
}

const std::vector<ShownMessage>& MessageBox::shown() {
    return hook().shown();
}

QStringList MessageBox::shownTexts() {
    QStringList texts;
    for (const ShownMessage& message : hook().shown())
        texts << message.text;
    return texts;
}

void MessageBox::reset() {
    hook().clear();
}

} // namespace kestrana::gui::services
