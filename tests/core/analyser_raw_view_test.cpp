// The raw-data view behind a clicked listing row.

#include "core/analyser/listing.h"
#include "core/analyser/raw_view.h"
#include "core/analyser_fixtures.h"

#include <gtest/gtest.h>

namespace kestrana::analyser {
namespace {

using test::makeBlock;
namespace field = runfile::field;
using Rows = std::vector<std::string>;

// A block whose channel values differ from those of any block with another offset.
runfile::BlockResult channelBlock(int kmFrom, int block, int offset) {
    runfile::BlockResult row = makeBlock({kmFrom, kmFrom + 1, block, 30});
    for (int n = field::U1L; n <= field::TW2; ++n) {
        row.field(n) = static_cast<std::int16_t>(100 + n + offset);
    }
    return row;
}

runfile::BlockTable tableOf(std::vector<runfile::BlockResult> rows) {
    runfile::BlockTable table;
    table.rows = std::move(rows);
    table.runDirection = 1;
    return table;
}

TEST(AnalyserRawView, ValueRowScalesAndFormatsEachChannel) {
    runfile::BlockResult row = makeBlock({120, 121, 3, 42});
    // U1L U1R TW1 G A1L A1R U2L U2R A2L A2R TW2 in tenths.
    const std::array<int, 11> channels = {45, 38, 21, -45, 63, 59, 123, 5, 0, 1000, 26};
    for (std::size_t i = 0; i < channels.size(); ++i) {
        row.field(field::U1L + static_cast<int>(i)) = static_cast<std::int16_t>(channels[i]);
    }
    row.field(field::RIV) = 5;    // 0.05
    row.field(field::RIL) = -187; // -1.87
    row.field(field::SPD) = 80;   // 080
    EXPECT_EQ(rawValueRow(row),
              "  12.3       0.5       0.0       100.0       -4.5       2.1       2.6       0.05"
              "       -1.87       080       4.5       3.8       6.3       5.9");
}

TEST(AnalyserRawView, AClickedRowShowsEveryBlockOfItsKilometreAndNumber) {
    const auto table = tableOf({channelBlock(1234, 2, 0), channelBlock(1234, 3, 10),
                                channelBlock(1235, 3, 20), channelBlock(1234, 3, 30)});
    const RawView view = rawViewOfEntry(table, listingRow(table.rows[1]));
    EXPECT_EQ(view.header, Rows{"  U2L     U2R     A2L     A2R       G       TW1     TW2     RIV       RIL   "
                                "     SPD      U1L     U1R     A1L     A1R"});
    // The kilometre recorded twice: both blocks, in table order.
    EXPECT_EQ(view.rows, (Rows{rawValueRow(table.rows[1]), rawValueRow(table.rows[3])}));
    EXPECT_TRUE(view.rows[0].starts_with("  12.2       12.3")) << view.rows[0];
    EXPECT_EQ(rawViewOfBlock(table, 1234, 4).rows, Rows{});
}

TEST(AnalyserRawView, LongKilometresAndBlockNumbersFindTheirOwnBlock) {
    const auto table = tableOf({channelBlock(12345, 1, 0), channelBlock(12345, 12, 3),
                                channelBlock(1234, 1, 6), channelBlock(-5, 1, 9), channelBlock(5, 1, 12)});
    for (std::size_t i : {0U, 1U, 3U}) {
        EXPECT_EQ(rawViewOfEntry(table, listingRow(table.rows[i])).rows, Rows{rawValueRow(table.rows[i])})
            << listingRow(table.rows[i]);
    }
}

TEST(AnalyserRawView, SeparatorsAndOtherTextsGiveAnEmptyView) {
    const auto table = tableOf({channelBlock(0, 0, 0)});
    for (const char* entry : {" ", "", "  abc    0001       0", "  0000"}) {
        const RawView view = rawViewOfEntry(table, entry);
        EXPECT_TRUE(view.header.empty() && view.rows.empty()) << '"' << entry << '"';
    }
}

} // namespace
} // namespace kestrana::analyser
