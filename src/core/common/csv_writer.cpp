// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/common/csv_writer.h"

#include "core/common/text.h"

#include <charconv>

namespace kestrana::common {

CsvWriter::CsvWriter(std::string_view header, std::string_view lineEnd) : lineEnd_(lineEnd), text_(header) {
    text_ += lineEnd_;
}

CsvWriter& CsvWriter::text(std::string_view field) {
    return raw(csvField(field));
}

CsvWriter& CsvWriter::number(long long value) {
    // As plainInt writes it, without making a string of it (a list may hold millions of numbers).
    char digits[24];
    return raw(std::string_view(digits, std::to_chars(digits, digits + sizeof digits, value).ptr));
}

CsvWriter& CsvWriter::number(std::string_view decimalText) {
    return raw(decimalText);
}

void CsvWriter::endRow() {
    text_ += lineEnd_;
    rowStart_ = true;
}

CsvWriter& CsvWriter::raw(std::string_view written) {
    if (!rowStart_) {
        text_ += ',';
    }
    text_ += written;
    rowStart_ = false;
    return *this;
}

} // namespace kestrana::common
