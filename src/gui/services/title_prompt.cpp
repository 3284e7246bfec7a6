// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/services/title_prompt.h"

#include "gui/services/test_hook.h"
#include "gui/services/test_mode.h"

#include <QInputDialog>
#include <QWidget>

namespace kestrana::gui::services {

namespace {

// A queued answer is a text, or nullopt for a cancel.
TestHook<std::optional<QString>, ShownPrompt>& hook() {
    static TestHook<std::optional<QString>, ShownPrompt> prompts;
    return prompts;
}

} // namespace

QString TitlePrompt::ask(QWidget* parent, const QString& prompt, const QString& title,
                         const QString& defaultText) {
    std::optional<QString> answer;
    if (std::optional<std::optional<QString>> queued = hook().takeNext()) {
        answer = *queued;
    } else if (inTestMode()) {
        answer = defaultText;
    } else {
        bool ok = false;
        QString typed = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
        if (ok)
            answer = typed;
    }
    QString result = answer.value_or(QString());
    hook().record({prompt, title, defaultText, result, !answer.has_value()});
    return result;
}

void TitlePrompt::setNextText(const QString& text) {
    hook().queue(text);
}

void TitlePrompt::setNextCancel() {
    hook().queue(std::nullopt);
}

const std::vector<ShownPrompt>& TitlePrompt::shown() {
    return hook().shown();
}

void TitlePrompt::reset() {
    hook().clear();
}

} // namespace kestrana::gui::services
