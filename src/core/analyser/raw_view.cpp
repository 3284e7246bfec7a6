// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/analyser/raw_view.h"

#include "core/common/csv_writer.h"
#include "core/common/text.h"

#include <algorithm>
#include <array>
#include <optional>

namespace kestrana::analyser {

using runfile::BlockResult;
using runfile::BlockTable;
namespace field = runfile::field;

namespace {

enum class Scale { Tenths, Hundredths, Whole };

struct RawColumn {
    int field;
    Scale scale;
};

// The columns in the order of the header.
constexpr std::array<RawColumn, 14> kRawColumns = {{
    {field::U2L, Scale::Tenths},
    {field::U2R, Scale::Tenths},
    {field::A2L, Scale::Tenths},
    {field::A2R, Scale::Tenths},
    {field::G, Scale::Tenths},
    {field::TW1, Scale::Tenths},
    {field::TW2, Scale::Tenths},
    {field::RIV, Scale::Hundredths},
    {field::RIL, Scale::Hundredths},
    {field::SPD, Scale::Whole},
    {field::U1L, Scale::Tenths},
    {field::U1R, Scale::Tenths},
    {field::A1L, Scale::Tenths},
    {field::A1R, Scale::Tenths},
}};

// A value as the view writes it; whole numbers (the speed) by `wholePattern`.
std::string formatColumn(const BlockResult& row, const RawColumn& column,
                         std::string_view wholePattern = "000") {
    switch (column.scale) {
    case Scale::Tenths:
        return common::formatPattern(row.scaled(column.field, 10), "0.0");
    case Scale::Hundredths:
        return common::formatPattern(row.scaled(column.field, 100), "0.00");
    case Scale::Whole:
        break;
    }
    return common::formatPattern(row.field(column.field), wholePattern);
}

// The n-th (0-based) run of non-blank characters of `text`; empty when there are fewer.
std::string_view blankSeparatedField(std::string_view text, std::size_t n) {
    std::size_t pos = 0;
    for (std::size_t index = 0;; ++index) {
        pos = text.find_first_not_of(' ', pos);
        if (pos == std::string_view::npos) {
            return {};
        }
        const std::size_t end = std::min(text.find(' ', pos), text.size());
        if (index == n) {
            return text.substr(pos, end - pos);
        }
        pos = end;
    }
}

} // namespace

std::string rawValueRow(const BlockResult& row) {
    std::string text = "  ";
    for (std::size_t i = 0; i < kRawColumns.size(); ++i) {
        if (i > 0) {
            text += "       ";
        }
        text += formatColumn(row, kRawColumns[i]);
    }
    return text;
}

std::vector<std::string> rawViewCells(std::string_view line) {
    std::vector<std::string> cells;
    for (std::size_t n = 0;; ++n) {
        const std::string_view cell = blankSeparatedField(line, n);
        if (cell.empty())
            return cells;
        cells.emplace_back(cell);
    }
}

namespace {
bool isBlock(const BlockResult& row, std::int16_t kmFrom, std::int16_t blockNumber) {
    return row.field(field::KmFrom) == kmFrom && row.field(field::BlockNumber) == blockNumber;
}
} // namespace

RawView rawViewOfBlock(const BlockTable& table, std::int16_t kmFrom, std::int16_t blockNumber) {
    RawView view;
    view.header.emplace_back(kRawViewHeader);
    for (const BlockResult& row : table.rows) {
        if (isBlock(row, kmFrom, blockNumber)) {
            view.rows.push_back(rawValueRow(row));
        }
    }
    return view;
}

std::string rawViewCsv(const BlockTable& table, std::int16_t kmFrom, std::int16_t blockNumber) {
    common::CsvWriter csv(kRawViewCsvHeader);
    for (const BlockResult& row : table.rows) {
        if (!isBlock(row, kmFrom, blockNumber)) {
            continue;
        }
        csv.number(row.field(field::KmFrom))
            .number(row.field(field::KmTo))
            .number(row.field(field::BlockNumber));
        for (const RawColumn& column : kRawColumns) {
            csv.number(formatColumn(row, column, "0"));
        }
        csv.endRow();
    }
    return csv.str();
}

RawView rawViewOfEntry(const BlockTable& table, std::string_view entry) {
    const std::optional<std::int16_t> kmFrom = common::textToInt16(blankSeparatedField(entry, 0));
    const std::optional<std::int16_t> blockNumber = common::textToInt16(blankSeparatedField(entry, 2));
    if (!kmFrom || !blockNumber) {
        return {};
    }
    return rawViewOfBlock(table, *kmFrom, *blockNumber);
}

} // namespace kestrana::analyser
