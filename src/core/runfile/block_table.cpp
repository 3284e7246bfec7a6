#include "core/runfile/block_table.h"

#include "core/platform/errors.h"
#include "core/platform/paths.h"
#include "core/runfile/field_stream.h"

#include <algorithm>

namespace kestrana::runfile {

std::vector<BlockResult> parseBlockRows(std::string_view scratchText, const std::string& scratchName,
                                        long expectedRows) {
    std::vector<BlockResult> rows;
    rows.reserve(static_cast<std::size_t>(expectedRows > 0 ? expectedRows : 0));
    RecordFieldStream stream(scratchText, scratchName);
    while (!stream.atEnd()) {
        if (static_cast<long>(rows.size()) == expectedRows) {
            throw platform::KestranaError("numbers are left over after the last block", scratchName,
                                          stream.line());
        }
        BlockResult row;
        for (auto& value : row.fields) {
            value = stream.next();
        }
        rows.push_back(row);
    }
    if (static_cast<long>(rows.size()) != expectedRows) {
        throw platform::KestranaError("the numbers end inside a record", scratchName, stream.line());
    }
    return rows;
}

BlockTable loadBlockTable(const std::string& runPath, const std::string& scratchPath) {
    BlockTable table;
    std::string scratch;
    // The run-file line of every pair, so that a fault found in the scratch text can be reported at
    // the line of the run file the user can open.
    std::vector<long> pairLines;
    const long count = readPairs(runPath, PairingOptions{"68", 32767}, table.header,
                                 [&](std::string_view kmLine, std::string_view blockLine, long lineNumber) {
                                     appendScratchLine(scratch, kmLine, blockLine);
                                     pairLines.push_back(lineNumber);
                                 });
    platform::writeFileAtomically(scratchPath, scratch);
    if (count == 0) {
        throw platform::KestranaError("the run has no block line (\"68\")", runPath);
    }
    try {
        table.rows = parseBlockRows(scratch, scratchPath, count);
    } catch (const platform::KestranaError& error) {
        // Scratch line n holds pair n; name the run file's line instead. A stream that ends inside
        // a row ends after the last pair, so its line is that pair's.
        const long scratchLine = std::min(error.line(), static_cast<long>(pairLines.size()));
        if (scratchLine >= 1 && scratchLine <= static_cast<long>(pairLines.size())) {
            throw platform::KestranaError(error.what_text(), runPath,
                                          pairLines[static_cast<std::size_t>(scratchLine - 1)]);
        }
        throw platform::KestranaError(error.what_text(), runPath);
    }
    const int direction = table.rows.front().field(field::KmTo) - table.rows.front().field(field::KmFrom);
    if (direction < -32768 || direction > 32767) {
        throw platform::KestranaError("the first block's km to minus km from is outside 16 bits", runPath,
                                      pairLines.front());
    }
    table.runDirection = static_cast<std::int16_t>(direction);
    return table;
}

} // namespace kestrana::runfile
