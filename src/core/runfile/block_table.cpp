// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/runfile/block_table.h"

#include "core/common/errors.h"
#include "core/runfile/field_stream.h"

namespace kestrana::runfile {

namespace {
// The analyser counts block lines in 16 bits.
constexpr long kMaxBlocks = 32767;
constexpr int kRowWidth = 26;
} // namespace

BlockTable
loadBlockTable(const std::string& runPath, const std::function<void(std::string_view bytes)>& onBytes,
               const std::function<void(std::string_view text, long number, bool tooLong)>& onLine) {
    BlockTable table;
    // The run-file line of every pair, so that a fault in the numbers is reported at the line of the
    // run file the user can open.
    std::vector<long> pairLines;
    // The pair that gave each row's first number: a row past the last block starts the numbers left
    // over, and the failure names its pair.
    std::vector<long> rowFirstPairs;
    PairNumberStream numbers(kRowWidth, [&](const RecordSlots& record, long firstPair) {
        BlockResult& row = table.rows.emplace_back();
        std::copy(record.begin() + 1, record.begin() + 1 + kRowWidth, row.fields.begin());
        rowFirstPairs.push_back(firstPair);
        // One row more than a run can have block lines is proof enough that numbers are left over.
        if (static_cast<long>(table.rows.size()) > kMaxBlocks) {
            numbers.stop();
        }
    });
    PairingOptions options{"68", kMaxBlocks,
                           [&](std::string_view kmLine) { numbers.setKilometreLine(kmLine); }, onBytes,
                           onLine};
    const long count = readPairs(runPath, options, table.header,
                                 [&](std::string_view, std::string_view blockLine, long lineNumber) {
                                     pairLines.push_back(lineNumber);
                                     numbers.addPair(blockLine);
                                 });
    if (count == 0) {
        throw common::Error("the run has no block line (\"68\")", runPath);
    }
    auto lineOfPair = [&](long pair) { return pairLines[static_cast<std::size_t>(pair - 1)]; };

    // The rows are read while numbers are left, `count` of them: the first fault in that order wins.
    const long wanted = kRowWidth * count;
    const auto& bad = numbers.badNumber();
    if (bad && bad->index < wanted) {
        throw common::Error(bad->problem, runPath, lineOfPair(bad->pair));
    }
    const long tokensSeen = numbers.numbers() + (bad ? 1 : 0);
    if (tokensSeen > wanted || numbers.stopped()) {
        // The first number past the last row starts a complete row, a row begun, or is itself bad.
        long firstPair = bad ? bad->pair : 0;
        if (static_cast<long>(table.rows.size()) > count) {
            firstPair = rowFirstPairs[static_cast<std::size_t>(count)];
        } else if (numbers.pendingNumbers() > 0) {
            firstPair = numbers.pendingFirstPair();
        }
        throw common::Error("numbers are left over after the last block", runPath, lineOfPair(firstPair));
    }
    if (numbers.numbers() < wanted) {
        throw common::Error("the numbers end inside a record", runPath, pairLines.back());
    }
    const int direction = table.rows.front().field(field::KmTo) - table.rows.front().field(field::KmFrom);
    if (direction < -32768 || direction > 32767) {
        throw common::Error("the first block's km to minus km from is outside 16 bits", runPath,
                            pairLines.front());
    }
    table.runDirection = static_cast<std::int16_t>(direction);
    return table;
}

} // namespace kestrana::runfile
