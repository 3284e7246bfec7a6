// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The controls the screens' layouts make, each with its object name: the name tests find it by and
// the style sheet (kestrana.qss) styles it by. A screen adds what is its own (an accessible name, a
// face, a width) to what these give.
//
//     processDataButton = widgets::makeButton(this, "processDataButton", "PROCESS DATA");
//     widgets::connectClicks(this, {{processDataButton, &AnalyserScreen::processData}, ...});

#include <QPushButton>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace kestrana::gui::widgets {

class ListBox;

// A push button; Enter on it when it has the focus presses it, as Space does.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption);
QLineEdit* makeTextBox(QWidget* parent, const QString& name, const QString& text = {});
// A caption shown as it stands, never read as markup (captions come from run files and the core).
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption = {});
ListBox* makeListBox(QWidget* parent, const QString& name, const QString& accessibleName);
// A box to type a name into or pick it from `names`; what is typed is never added to the list. The
// first name is chosen.
QComboBox* makeChoiceBox(QWidget* parent, const QString& name, const QStringList& names);

// "name_index": the object name of one control of an array (runFileEdits_0).
QString indexedName(const char* name, int index);

// Each button's click runs its handler on `screen`.
template <typename Screen>
void connectClicks(Screen* screen,
                   std::initializer_list<std::pair<QPushButton*, void (Screen::*)()>> clicks) {
    for (const auto& [button, handler] : clicks)
        QObject::connect(button, &QPushButton::clicked, screen, handler);
}

} // namespace kestrana::gui::widgets
