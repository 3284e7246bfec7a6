#include "core/common/csv_writer.h"

#include "core/common/text.h"

namespace kestrana::common {

CsvWriter::CsvWriter(std::string_view header) : text_(header) {
    text_ += '\n';
}

CsvWriter& CsvWriter::text(std::string_view field) {
    return raw(csvField(field));
}

CsvWriter& CsvWriter::number(long long value) {
    return raw(plainInt(value));
}

CsvWriter& CsvWriter::number(std::string_view decimalText) {
    return raw(decimalText);
}

void CsvWriter::endRow() {
    text_ += '\n';
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
