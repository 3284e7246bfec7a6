#include "core/common/csv_writer.h"

#include "core/common/text.h"

namespace kestrana::common {

CsvWriter::CsvWriter(std::string_view header, std::string_view lineEnd) : lineEnd_(lineEnd), text_(header) {
    text_ += lineEnd_;
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
