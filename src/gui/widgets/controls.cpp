// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/widgets/controls.h"

#include "gui/widgets/list_box.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace kestrana::gui::widgets {

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(true);
    return button;
}

QLineEdit* makeTextBox(QWidget* parent, const QString& name, const QString& text) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    return box;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

ListBox* makeListBox(QWidget* parent, const QString& name, const QString& accessibleName) {
    auto* list = new ListBox(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    return list;
}

QComboBox* makeChoiceBox(QWidget* parent, const QString& name, const QStringList& names) {
    auto* choice = new QComboBox(parent);
    choice->setObjectName(name);
    choice->setEditable(true);
    choice->setInsertPolicy(QComboBox::NoInsert);
    choice->addItems(names);
    choice->setCurrentIndex(0);
    return choice;
}

QString indexedName(const char* name, int index) {
    return QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(index);
}

} // namespace kestrana::gui::widgets
