#include "gui/services/title_prompt.h"

#include "gui/services/test_mode.h"

#include <QInputDialog>
#include <QWidget>

#include <deque>
#include <optional>

namespace kestrana::gui::services {

namespace {

// A queued answer: a text, or nullopt for a cancel.
std::deque<std::optional<QString>>& queuedTexts() {
    static std::deque<std::optional<QString>> texts;
    return texts;
}

std::vector<ShownPrompt>& record() {
    static std::vector<ShownPrompt> shown;
    return shown;
}

} // namespace

QString TitlePrompt::ask(QWidget* parent, const QString& prompt, const QString& title,
                         const QString& defaultText) {
    std::optional<QString> answer;
    if (!queuedTexts().empty()) {
        answer = queuedTexts().front();
        queuedTexts().pop_front();
    } else if (inTestMode()) {
        answer = defaultText;
    } else {
        bool ok = false;
        QString typed = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
        if (ok)
            answer = typed;
    }
    QString result = answer.value_or(QString());
    record().push_back({prompt, title, defaultText, result, !answer.has_value()});
    return result;
}

void TitlePrompt::setNextText(const QString& text) {
    queuedTexts().push_back(text);
}

void TitlePrompt::setNextCancel() {
    queuedTexts().push_back(std::nullopt);
}

const std::vector<ShownPrompt>& TitlePrompt::shown() {
    return record();
}

void TitlePrompt::reset() {
    queuedTexts().clear();
    record().clear();
}

} // namespace kestrana::gui::services
