#include "gui/services/message_box.h"

#include "gui/services/test_mode.h"

#include <QMessageBox>
#include <QWidget>

#include <deque>

namespace kestrana::gui::services {

namespace {

std::deque<MessageAnswer>& queuedAnswers() {
    static std::deque<MessageAnswer> answers;
    return answers;
}

std::vector<ShownMessage>& record() {
    static std::vector<ShownMessage> shown;
    return shown;
}

// A box is centred on its screen while that screen is still hidden (the main menu asks its
// question before it first appears).
QWidget* visibleParent(QWidget* parent) {
    return parent != nullptr && parent->isVisible() ? parent : nullptr;
}

} // namespace

void MessageBox::information(QWidget* parent, const QString& text) {
    record().push_back({text, kApplicationTitle, MessageButtons::Ok, MessageAnswer::Ok});
    if (inTestMode())
        return;
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, visibleParent(parent));
    box.exec();
}

MessageAnswer MessageBox::question(QWidget* parent, const QString& text) {
    MessageAnswer answer = MessageAnswer::No;
    if (!queuedAnswers().empty()) {
        answer = queuedAnswers().front();
        queuedAnswers().pop_front();
    } else if (!inTestMode()) {
        QMessageBox box(QMessageBox::Question, kApplicationTitle, text, QMessageBox::Yes | QMessageBox::No,
                        visibleParent(parent));
        box.setEscapeButton(QMessageBox::No);
        answer = box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    record().push_back({text, kApplicationTitle, MessageButtons::YesNo, answer});
    return answer;
}

void MessageBox::setNextAnswer(MessageAnswer answer) {
    queuedAnswers().push_back(answer);
}

const std::vector<ShownMessage>& MessageBox::shown() {
    return record();
}

QStringList MessageBox::shownTexts() {
    QStringList texts;
    for (const ShownMessage& message : record())
        texts << message.text;
    return texts;
}

void MessageBox::reset() {
    queuedAnswers().clear();
    record().clear();
}

} // namespace kestrana::gui::services
