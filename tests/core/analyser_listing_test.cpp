// SHOW DETAILS and CALC TRACK %: bounds, index choice, listing rows and the track-share caption.

#include "core/analyser/listing.h"
#include "core/analyser/quality.h"
#include "core/analyser_fixtures.h"

#include <gtest/gtest.h>

namespace kestrana::analyser {
namespace {

using test::makeBlock;
using test::makeTable;
using test::refusalOf;
using test::tableOfTgis;

AnalysisRange rangeOf(int start, int end) {
    return analysisRangeFromTexts(std::to_string(start), std::to_string(end));
}

// The TGIs of the listed rows, read back from the rows' TGI column (characters 34 to 36).
std::vector<std::string> listedTgis(const Listing& listing) {
    std::vector<std::string> tgis;
    for (const auto& row : listing.rows()) {
        tgis.push_back(row.substr(33, 3));
    }
    return tgis;
}

TEST(AnalyserListing, RowsPadWithZerosAtTheHeadersColumnsAndNeverCut) {
    const std::string row = listingRow(makeBlock({1234, 1235, 3, 7, 12, 345, 0, 99}));
    EXPECT_EQ(row, "  1234    1235       3           007         012       345       000       099");
    EXPECT_EQ(row.size(), 78U);
    EXPECT_EQ(row.substr(2, 4), "1234"); // characters 3 to 6
    EXPECT_EQ(row[21], '3');             // character 22
    EXPECT_EQ(listingRow(makeBlock({75, 76, 0, 7, 1, 2, 3, 4})),
              "  0075    0076       0           007         001       002       003       004");
    // Negative values get a minus sign before the padded digits; five-digit km and two-digit
    // blocks make the row longer.
    EXPECT_EQ(listingRow(makeBlock({-5, -4, 1, -7, 0, 0, 0, 1234})),
              "  -0005    -0004       1           -007         000       000       000       1234");
    EXPECT_EQ(listingRow(makeBlock({12345, 12346, 12, 100, 100, 100, 100, 100})),
              "  12345    12346       12           100         100       100       100       100");
}

TEST(AnalyserListing, IndexNamesAreMatchedExactly) {
    const std::vector<int> fields = {17, 22, 23, 24, 25};
    for (std::size_t i = 0; i < kIndexNames.size(); ++i) {
        EXPECT_EQ(indexFieldOf(kIndexNames[i]), fields[i]) << kIndexNames[i];
    }
    for (const char* other : {"", "tgi", " TGI", "TGI ", "TGIX", "SPD"}) {
        EXPECT_FALSE(indexFieldOf(other).has_value()) << other;
    }
}

TEST(AnalyserListing, BoundsAdjustByOneAndRoundHalfToEvenOrAreRefused) {
    EXPECT_EQ(exclusiveBoundsFromTexts("1", "35", "r"), (ExclusiveBounds{0, 36}));
    EXPECT_EQ(exclusiveBoundsFromTexts("35.5", "35.5", "r"), (ExclusiveBounds{34, 36})); // 34.5, 36.5
    EXPECT_EQ(exclusiveBoundsFromTexts("0.20", "99.6", "r"), (ExclusiveBounds{-1, 101}));
    EXPECT_EQ(exclusiveBoundsFromTexts("-32767", "32766", "r"), (ExclusiveBounds{-32768, 32767}));
    const ExclusiveBounds bounds{0, 36};
    EXPECT_EQ(std::make_pair(bounds.low(), bounds.high()), std::make_pair(1, 35));
    EXPECT_FALSE(bounds.contains(0));
    EXPECT_TRUE(bounds.contains(1));
    EXPECT_TRUE(bounds.contains(35));
    EXPECT_FALSE(bounds.contains(36));

    for (auto [low, high] : std::vector<std::pair<const char*, const char*>>{
             {"abc", "35"}, {"1", ""}, {"-32768", "35"}, {"1", "32767"}, {"1", "1e9"}, {"1,5", "35"}}) {
        EXPECT_EQ(refusalOf([&] { exclusiveBoundsFromTexts(low, high, "refused"); }), "refused")
            << low << " " << high;
    }
}

TEST(AnalyserListing, ListsBlocksOfTheRangeBetweenLowAndHigh) {
    const auto table = tableOfTgis(100, 1, {0, 1, 20, 35, 36, 90, 12});
    const Listing listing = showDetails(table, rangeOf(100, 106), "1", "35", "TGI");
    EXPECT_EQ(listing.header, " Kmfr   Kmto   BLK    TGI     TGIU  TGIW  TGIG  TGIL");
    // 0 and 36 are outside the bounds; the last block (106 to 107) is outside the range.
    EXPECT_EQ(listing.entries,
              (std::vector<std::string>{listingRow(table.rows[1]), " ", listingRow(table.rows[2]), " ",
                                        listingRow(table.rows[3]), " "}));
    EXPECT_EQ(listing.bounds, (ListingBounds{0, 36}));
    EXPECT_EQ(listedTgis(showDetails(tableOfTgis(0, 1, {34, 35, 36}), rangeOf(0, 3), "35.5", "35.5", "TGI")),
              (std::vector<std::string>{"035"}));
}

TEST(AnalyserListing, TheChosenIndexSelectsButEveryIndexIsShown) {
    const auto table =
        makeTable({{10, 11, 1, 20, 60, 5, 5, 5}, {11, 12, 2, 70, 10, 5, 5, 5}, {12, 13, 3, 20, 5, 5, 5, 90}});
    EXPECT_EQ(showDetails(table, rangeOf(10, 13), "50", "100", "TGIU").rows(),
              (std::vector<std::string>{listingRow(table.rows[0])}));
    EXPECT_EQ(showDetails(table, rangeOf(10, 13), "50", "100", "TGIL").rows(),
              (std::vector<std::string>{listingRow(table.rows[2])}));
}

TEST(AnalyserListing, FallingRunsAndEmptyListings) {
    const auto falling = makeTable({{11, 10, 1, 20}, {10, 9, 1, 20}});
    EXPECT_EQ(showDetails(falling, rangeOf(10, 11), "1", "35", "TGI").rows().size(), 1U);
    const Listing none = showDetails(falling, rangeOf(10, 11), "50", "60", "TGI");
    EXPECT_TRUE(none.entries.empty());
    EXPECT_EQ(none.header, kListingHeader);
    // Direction 2 lists nothing, and that is no refusal.
    EXPECT_TRUE(showDetails(makeTable({{10, 12, 1, 20}}), rangeOf(0, 100), "1", "35", "TGI").entries.empty());
}

TEST(AnalyserListing, RefusesBadBoundsBeforeAnUnknownIndex) {
    const auto table = tableOfTgis(0, 1, {0, 20});
    EXPECT_EQ(refusalOf([&] { showDetails(table, rangeOf(0, 2), "1", "35", "tgi"); }), kIndexRefusedMessage);
    EXPECT_EQ(refusalOf([&] { showDetails(table, rangeOf(0, 2), "x", "35", "tgi"); }),
              kListingBoundsRefusedMessage);
}

TEST(AnalyserTrackShare, DocumentedExampleGivesSeventyFivePerCent) {
    // Range 100 to 120 with two blocks per kilometre: 40 blocks, 30 of them with TGI 1 to 100.
    runfile::BlockTable table;
    for (int km = 100; km < 120; ++km) {
        const bool inBand = km < 115;
        table.rows.push_back(makeBlock({km, km + 1, 1, inBand ? 40 : 0}));
        table.rows.push_back(makeBlock({km, km + 1, 2, inBand ? 100 : 101}));
    }
    table.runDirection = 1;
    const TrackShare share = calcTrackShare(table, rangeOf(120, 100), "1", "100");
    EXPECT_EQ(share.blocksInRange, 40);
    EXPECT_EQ(share.blocksInBand, 30);
    EXPECT_EQ(share.caption, "75.00 % of Track between  Km 100  and  120  is between TGI  1  -  100");
}

TEST(AnalyserTrackShare, NonRecordedBlocksCountInRangeAndInABandIncludingZero) {
    const auto table = tableOfTgis(0, 1, {0, 0, 10, 50});
    EXPECT_EQ(calcTrackShare(table, rangeOf(0, 4), "1", "100").caption,
              "50.00 % of Track between  Km 0  and  4  is between TGI  1  -  100");
    EXPECT_EQ(calcTrackShare(table, rangeOf(0, 4), "0", "10").caption,
              "75.00 % of Track between  Km 0  and  4  is between TGI  0  -  10");
    // -4.5 - 1 = -5.5 rounds to -6 and 5.5 + 1 = 6.5 to 6: TGI -5 to 5; negative km in plain digits.
    EXPECT_EQ(calcTrackShare(tableOfTgis(-3, 1, {5, 6, 7}), rangeOf(-3, 0), "-4.5", "5.5").caption,
              "33.33 % of Track between  Km -3  and  0  is between TGI  -5  -  5");
}

TEST(AnalyserTrackShare, RefusesBadBoundsAndAnEmptyRange) {
    const auto table = tableOfTgis(0, 1, {10});
    EXPECT_EQ(refusalOf([&] { calcTrackShare(table, rangeOf(0, 1), "one", "100"); }),
              kShareBoundsRefusedMessage);
    EXPECT_EQ(refusalOf([&] { calcTrackShare(table, rangeOf(0, 1), "1", "32767"); }),
              kShareBoundsRefusedMessage);
    EXPECT_EQ(refusalOf([&] { calcTrackShare(table, rangeOf(5, 9), "1", "100"); }), kNoBlockInRangeMessage);
}

} // namespace
} // namespace kestrana::analyser
