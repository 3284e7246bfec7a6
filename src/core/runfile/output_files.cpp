// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/runfile/output_files.h"

#include "core/common/paths.h"
#include "core/common/text.h"

namespace kestrana::runfile {

namespace {

constexpr const char* kHeaderLine =
    "\"km \",\"km \",\"BK \",\"U1L \",\"U1R \",\"TW1 \",\"G \",\"A1L \",\"A1R \","
    "\"U2L \",\"U2R \",\"A2L \",\"A2R \",\"TW2 \",\"TGI \",\"SPD \",\"RIV \","
    "\"RIL \",\"TGU \",\"TGW \",\"TGG \",\"TGL \"";

// The columns of a data line: the field and its divisor (1 for whole numbers).
struct Column {
    int field;
    int divisor;
};
constexpr Column kColumns[] = {
    {field::KmFrom, 1}, {field::KmTo, 1},  {field::BlockNumber, 1}, {field::U1L, 10}, {field::U1R, 10},
    {field::TW1, 10},   {field::G, 10},    {field::A1L, 10},        {field::A1R, 10}, {field::U2L, 10},
    {field::U2R, 10},   {field::A2L, 10},  {field::A2R, 10},        {field::TW2, 10}, {field::TGI, 1},
    {field::SPD, 1},    {field::RIV, 100}, {field::RIL, 100},       {field::TGIU, 1}, {field::TGIW, 1},
    {field::TGIG, 1},   {field::TGIL, 1}};

void appendLine(std::string& out, const BlockResult& row) {
    bool first = true;
    for (const Column& column : kColumns) {
        if (!first) {
            out += ',';
        }
        first = false;
        common::appendSdDecimal(out, row.field(column.field), column.divisor);
    }
}

} // namespace

std::string sdOutputLine(const BlockResult& row) {
    std::string line;
    appendLine(line, row);
    return line;
}

std::string sdOutputText(const BlockTable& table) {
    std::string text;
    text.reserve(64 + table.rows.size() * 96);
    text += kHeaderLine;
    text += "\r\n";
    for (const auto& row : table.rows) {
        appendLine(text, row);
        text += "\r\n";
    }
    return text;
}

void writeSdOutputFile(const std::string& path, const BlockTable& table) {
    common::writeFileAtomically(path, sdOutputText(table));
}

} // namespace kestrana::runfile
