// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Where the columns of a fixed-layout row stand and how a header's words are spread over them
// (see ListBox::headOver). Positions are 0-based character columns.

#include <QString>
#include <QStringList>

#include <vector>

namespace kestrana::gui::widgets {

struct TextColumn {
    int start = 0; // first character
    int end = 0;   // one past the last character
    bool operator==(const TextColumn&) const = default;
};

// The runs of non-blank characters of a row.
std::vector<TextColumn> columnsOf(const QString& row);

// The column at which each word of `header` starts when it is centred over the matching column of
// `row`; empty when the header's words and the row's columns differ in number.
std::vector<int> headerWordStarts(const QString& header, const QString& row);

} // namespace kestrana::gui::widgets
