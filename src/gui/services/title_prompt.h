// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The text prompt that asks for the title of a hard copy: a modal box with a prompt, a window title
// and a default text. It returns the text as edited, or an empty text when the user cancels.
//
//     QString title = services::TitlePrompt::ask(this,
//         " Enter Title ( if any ) to be printed on the hard copy", "Print Details", "  ");

#include <QString>

#include <vector>

class QWidget;

namespace kestrana::gui::services {

struct ShownPrompt {
    QString prompt;
    QString title;
    QString defaultText;
    QString result; // what ask() returned
    bool cancelled = false;
};

class TitlePrompt {
public:
    static QString ask(QWidget* parent, const QString& prompt, const QString& title,
                       const QString& defaultText);

    // Test hooks: the next prompt returns this text (as if typed and OK pressed), or is cancelled.
    // Queued in order; with nothing queued, test mode returns the default text.
    static void setNextText(const QString& text);
    static void setNextCancel();
    static const std::vector<ShownPrompt>& shown();
    static void reset();
};

} // namespace kestrana::gui::services
