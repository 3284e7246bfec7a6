#include "gui/services/message_box.h"

#include "gui/services/test_hook.h"
#include "gui/services/test_mode.h"

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
    hook().record({text, kApplicationTitle, MessageButtons::Ok, MessageAnswer::Ok});
    if (inTestMode())
        return;
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, visibleParent(parent));
    box.exec();
}

MessageAnswer MessageBox::question(QWidget* parent, const QString& text) {
    MessageAnswer answer = MessageAnswer::No;
    if (std::optional<MessageAnswer> queued = hook().takeNext()) {
        answer = *queued;
    } else if (!inTestMode()) {
        QMessageBox box(QMessageBox::Question, kApplicationTitle, text, QMessageBox::Yes | QMessageBox::No,
                        visibleParent(parent));
        box.setEscapeButton(QMessageBox::No);
        answer = box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    hook().record({text, kApplicationTitle, MessageButtons::YesNo, answer});
    return answer;
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
