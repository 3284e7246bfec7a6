// The raw-data view behind a clicked listing row.

#include "analyser/listing.h"
#include "analyser/raw_view.h"
#include "core/analyser_fixtures.h"

#include <gtest/gtest.h>

namespace kestrana::analyser {
namespace {

using test::makeBlock;
namespace field = runfile::field;

// A block whose fourteen channel values are all set, different from each other.
runfile::BlockResult channelBlock(int kmFrom, int block, int offset) {
    runfile::BlockResult row = makeBlock({kmFrom, kmFrom + 1, block, 30});
    int value = 101 + offset;
    for (int n : {field::U1L, field::U1R, field::TW1, field::G, field::A1L, field::A1R, field::U2L,
                  field::U2R, field::A2L, field::A2R, field::TW2}) {
        row.field(n) = static_cast<std::int16_t>(value++);
    }
    row.field(field::SPD) = static_cast<std::int16_t>(95 + offset);
    row.field(field::RIV) = static_cast<std::int16_t>(115 + offset);
    row.field(field::RIL) = static_cast<std::int16_t>(187 + offset);
    return row;
}

TEST(AnalyserRawView, ValueRowScalesAndFormatsEachChannel) {
    runfile::BlockResult row = makeBlock({120, 121, 3, 42});
    row.field(field::U2L) = 123; // 12.3
    row.field(field::U2R) = 5;   // 0.5
    row.field(field::A2L) = 0;
    row.field(field::A2R) = 1000;
    row.field(field::G) = -45; // -4.5
    row.field(field::TW1) = 21;
    row.field(field::TW2) = 26;
    row.field(field::RIV) = 5;    // 0.05
    row.field(field::RIL) = -187; // -1.87
    row.field(field::SPD) = 80;   // 080
    row.field(field::U1L) = 45;
    row.field(field::U1R) = 38;
    row.field(field::A1L) = 63;
    row.field(field::A1R) = 59;
    const std::string gap(7, ' ');
    EXPECT_EQ(rawValueRow(row), "  12.3" + gap + "0.5" + gap + "0.0" + gap + "100.0" + gap + "-4.5" + gap +
                                    "2.1" + gap + "2.6" + gap + "0.05" + gap + "-1.87" + gap + "080" + gap +
                                    "4.5" + gap + "3.8" + gap + "6.3" + gap + "5.9");
}

TEST(AnalyserRawView, ClickedRowShowsExactlyItsBlock) {
    runfile::BlockTable table;
    table.rows = {channelBlock(1234, 2, 0), channelBlock(1234, 3, 10), channelBlock(1235, 3, 20)};
    table.runDirection = 1;
    const RawView view = rawViewOfEntry(table, listingRow(table.rows[1]));
    EXPECT_EQ(view.header,
              (std::vector<std::string>{
                  "  U2L     U2R     A2L     A2R       G       TW1     TW2     RIV       RIL        SPD  "
                  "    U1L     U1R     A1L     A1R"}));
    EXPECT_EQ(view.rows, (std::vector<std::string>{rawValueRow(table.rows[1])}));
    // Block 3 of km 1234 has U2L stored as 117.
    EXPECT_TRUE(view.rows[0].starts_with("  11.7       11.8")) << view.rows[0];
}

TEST(AnalyserRawView, SeparatorsAndOtherTextsGiveAnEmptyView) {
    runfile::BlockTable table;
    table.rows = {channelBlock(0, 0, 0)};
    for (const char* entry : {" ", "", "  abc    0001       0", "  0000"}) {
        const RawView view = rawViewOfEntry(table, entry);
        EXPECT_TRUE(view.header.empty()) << '"' << entry << '"';
        EXPECT_TRUE(view.rows.empty()) << '"' << entry << '"';
    }
}

TEST(AnalyserRawView, DuplicateBlocksAppearInTableOrder) {
    runfile::BlockTable table;
    table.rows = {channelBlock(500, 4, 0), channelBlock(501, 4, 5), channelBlock(500, 4, 9)};
    // The km to of the repeat differs; it plays no part.
    table.rows[2].field(field::KmTo) = 499;
    const RawView view = rawViewOfEntry(table, listingRow(table.rows[0]));
    EXPECT_EQ(view.rows, (std::vector<std::string>{rawValueRow(table.rows[0]), rawValueRow(table.rows[2])}));
}

TEST(AnalyserRawView, LongKilometresAndBlockNumbersFindTheirOwnBlock) {
    runfile::BlockTable table;
    table.rows = {channelBlock(12345, 1, 0), channelBlock(12345, 12, 3), channelBlock(1234, 1, 6),
                  channelBlock(-5, 1, 9), channelBlock(5, 1, 12)};
    table.runDirection = 1;
    EXPECT_EQ(rawViewOfEntry(table, listingRow(table.rows[1])).rows,
              (std::vector<std::string>{rawValueRow(table.rows[1])}));
    EXPECT_EQ(rawViewOfEntry(table, listingRow(table.rows[0])).rows,
              (std::vector<std::string>{rawValueRow(table.rows[0])}));
    EXPECT_EQ(rawViewOfEntry(table, listingRow(table.rows[3])).rows,
              (std::vector<std::string>{rawValueRow(table.rows[3])}));
}

TEST(AnalyserRawView, BlockWithoutMatchShowsTheHeaderOnly) {
    runfile::BlockTable table;
    table.rows = {channelBlock(10, 1, 0)};
    const RawView view = rawViewOfBlock(table, 10, 2);
    EXPECT_EQ(view.header.size(), 1U);
    EXPECT_TRUE(view.rows.empty());
    EXPECT_EQ(rawViewOfBlock(table, 10, 1).rows.size(), 1U);
}

} // namespace
} // namespace kestrana::analyser
