// Fuzz target: the peak record reader over any scratch text. The first byte picks the record width
// (0 to 31, so widths the reader refuses are tried too); every record read is expanded into peak rows.

#include "core/peaks/extraction.h"
#include "core/peaks/texts.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrana::peaks;
    if (size == 0) {
        return 0;
    }
    const int width = data[0] % 32;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        PeakRecordReader reader(text, "temp_peak.txt", width);
        std::vector<PeakRow> rows;
        while (reader.next()) {
            expandRecord(reader.record(), width, rows);
        }
    } catch (const PeakError&) {
    }
    return 0;
}
