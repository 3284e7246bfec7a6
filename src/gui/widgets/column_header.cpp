// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/widgets/column_header.h"

#include <algorithm>

namespace kestrana::gui::widgets {

std::vector<TextColumn> columnsOf(const QString& row) {
    std::vector<TextColumn> columns;
    int i = 0;
    const int length = static_cast<int>(row.size());
    while (i < length) {
        while (i < length && row[i] == QLatin1Char(' '))
            ++i;
        if (i == length)
            break;
        const int start = i;
        while (i < length && row[i] != QLatin1Char(' '))
            ++i;
        columns.push_back({start, i});
    }
    return columns;
}

std::vector<int> headerWordStarts(const QString& header, const QString& row) {
    const std::vector<TextColumn> words = columnsOf(header);
    const std::vector<TextColumn> columns = columnsOf(row);
    if (words.empty() || words.size() != columns.size())
        return {};
    std::vector<int> starts;
    int nextFree = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const int width = words[i].end - words[i].start;
        const int columnWidth = columns[i].end - columns[i].start;
        // Centred over its column, never before the column's start when the word is the wider,
        // and never running into the word before it.
        const int spare = columnWidth - width; // negative when the word is the wider
        int start = columns[i].start + (spare >= 0 ? spare / 2 : -((1 - spare) / 2));
        start = std::max({start, 0, nextFree});
        starts.push_back(start);
        nextFree = start + width + 1;
    }
    return starts;
}

} // namespace kestrana::gui::widgets
