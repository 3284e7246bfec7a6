// The run file reader, the pair scratch file, the number stream and the block table load: line ends,
// kept header lines, pairing, the stream's shifting without re-synchronisation and every failure
// of loading, each with the run file's line where there is one.

#include "platform/errors.h"
#include "run_generator.h"
#include "runfile/block_table.h"
#include "runfile/field_stream.h"
#include "runfile/run_reader.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kestrana::runfile {
namespace {

using platform::KestranaError;
using test::TempFolder;

// True when `text` holds `part`; failures print both.
::testing::AssertionResult holds(const std::string& text, std::string_view part) {
    if (text.find(part) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << '"' << text << "\" does not hold \"" << part << '"';
}

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    forEachLine(text, [&](std::string_view line, long number) {
        EXPECT_EQ(number, static_cast<long>(lines.size()) + 1);
        lines.emplace_back(line);
    });
    return lines;
}

using Lines = std::vector<std::string>;

TEST(RunLines, EveryLineEndVariant) {
    EXPECT_EQ(linesOf("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\rb\r"), (Lines{"a", "b"}));
    // A lone line feed ends a line too (a file that went through a Unix tool must still read).
    EXPECT_EQ(linesOf("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(linesOf("no final line end"), (Lines{"no final line end"}));
    EXPECT_EQ(linesOf(""), Lines{});
    EXPECT_EQ(linesOf("\r\n"), (Lines{""}));
    EXPECT_EQ(linesOf("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    // LF CR is two line ends, not one.
    EXPECT_EQ(linesOf("a\n\rb"), (Lines{"a", "", "b"}));
}

TEST(RunHeaderFields, CutAtFixedPositions) {
    RunHeader header;
    header.headerLine = "95,7,250124,0815,TRC";
    header.sectionLine = "91,0034,NR,KM,NAGPUR - WARDHA UP MAIN LINE  ,END";
    EXPECT_EQ(header.runNumber(), "7");
    EXPECT_EQ(header.date(), "250124");
    EXPECT_EQ(header.section(), "NAGPUR - WARDHA UP MAIN LINE  ");
    EXPECT_EQ(header.shortSection(), "WARDHA UP MAIN LINE "); // positions 24 to 43
    // Short lines: fields are cut at the end of the line, or empty when they start past it.
    header.headerLine = "95,7,250";
    header.sectionLine = "91,short";
    EXPECT_EQ(header.runNumber(), "7");
    EXPECT_EQ(header.date(), "250");
    EXPECT_EQ(header.section(), "");
    EXPECT_EQ(header.shortSection(), "");
    header.headerLine = "95";
    EXPECT_EQ(header.runNumber(), "");
    EXPECT_EQ(header.date(), "");
}

struct Pair {
    std::string km;
    std::string line;
    long number;
    bool operator==(const Pair&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pair& pair) {
    return out << "{" << pair.km << " | " << pair.line << " @" << pair.number << "}";
}

struct ReadResult {
    long count = 0;
    RunHeader header;
    std::vector<Pair> pairs;
};

ReadResult readText(const std::string& text, PairingOptions options = {}) {
    TempFolder folder;
    test::writeFile(folder.file("run.run"), text);
    ReadResult result;
    result.count = readPairs(folder.file("run.run"), options, result.header,
                             [&](std::string_view km, std::string_view line, long number) {
                                 result.pairs.push_back({std::string(km), std::string(line), number});
                             });
    return result;
}

TEST(PairingReader, PairsEachBlockLineWithTheCurrentKilometreLine) {
    const auto result = readText("95,1,120326\r\n91,0034,NR,KM,SECTION\r\n"
                                 "68,9\r\n" // before any kilometre line
                                 "60,120,121,\r\n68,1\r\n67,6,1,2\r\n68,2\r\n"
                                 "6\r\n\r\n" // too short for a code
                                 "60,121,122,\r\n99,x\r\n68,1\r\n");
    EXPECT_EQ(result.count, 4);
    EXPECT_EQ(result.pairs, (std::vector<Pair>{{"", "68,9", 3},
                                               {"60,120,121,", "68,1", 5},
                                               {"60,120,121,", "68,2", 7},
                                               {"60,121,122,", "68,1", 12}}));
    EXPECT_EQ(result.header.headerLine, "95,1,120326");
    EXPECT_EQ(result.header.sectionLine, "91,0034,NR,KM,SECTION");
}

TEST(PairingReader, PeakLinesPairWhenAskedFor) {
    const auto result =
        readText("60,120,121,\r\n68,1\r\n67,6,18,350\r\n67,7,16,12\r\n", PairingOptions{"67", 1000});
    EXPECT_EQ(result.count, 2);
    EXPECT_EQ(result.pairs,
              (std::vector<Pair>{{"60,120,121,", "67,6,18,350", 3}, {"60,120,121,", "67,7,16,12", 4}}));
}

TEST(PairingReader, TheLastHeaderAndSectionLinesAreKept) {
    const auto result =
        readText("95,1,010101\r\n91,first\r\n60,1,2,\r\n68,1\r\n95,2,020202\r\n91,second\r\n");
    EXPECT_EQ(result.header.headerLine, "95,2,020202");
    EXPECT_EQ(result.header.sectionLine, "91,second");
}

TEST(PairingReader, LineEndsDoNotChangeThePairs) {
    const std::string crlf = "95,1,120326\r\n60,120,121,\r\n68,1,2\r\n68,2,3\r\n";
    std::string lf = crlf;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    std::string cr = lf;
    std::replace(cr.begin(), cr.end(), '\n', '\r');
    const auto expected = readText(crlf).pairs;
    ASSERT_EQ(expected.size(), 2u);
    EXPECT_EQ(readText(lf).pairs, expected);
    EXPECT_EQ(readText(cr).pairs, expected);
    EXPECT_EQ(readText(crlf.substr(0, crlf.size() - 2)).pairs, expected); // no final line end
}

TEST(PairingReader, FailsOnAMissingFileAndPastTheCountLimit) {
    RunHeader header;
    auto ignore = [](std::string_view, std::string_view, long) {};
    try {
        readPairs("/nonexistent/folder/run.run", {}, header, ignore);
        FAIL() << "a missing file must fail";
    } catch (const KestranaError& error) {
        EXPECT_TRUE(holds(error.reason(), "/nonexistent/folder/run.run"));
    }
    EXPECT_EQ(readText("60,1,2,\r\n68\r\n68\r\n68\r\n", PairingOptions{"68", 3}).count, 3);
    try {
        readText("60,1,2,\r\n68\r\n68\r\n68\r\n68\r\n", PairingOptions{"68", 3});
        FAIL() << "a fourth pair past a limit of 3 must fail";
    } catch (const KestranaError& error) {
        EXPECT_EQ(error.line(), 5);
    }
}

TEST(PairScratchLine, BlockLineStartsAtTheNextPrintZone) {
    std::string out;
    appendScratchLine(out, "60,120,121,", "68,1");
    EXPECT_EQ(out, "60,120,121,   68,1\r\n");
    out.clear();
    appendScratchLine(out, std::string(13, 'k'), "68");
    EXPECT_EQ(out, std::string(13, 'k') + " 68\r\n");
    out.clear();
    appendScratchLine(out, std::string(14, 'k'), "68");
    EXPECT_EQ(out, std::string(14, 'k') + std::string(14, ' ') + "68\r\n");
    out.clear();
    appendScratchLine(out, "", "68,9");
    EXPECT_EQ(out, std::string(14, ' ') + "68,9\r\n");
    // Appends: the earlier lines stay as they are.
    appendScratchLine(out, "60,1,2,", "68,1");
    EXPECT_EQ(out, std::string(14, ' ') + "68,9\r\n60,1,2,       68,1\r\n");
}

std::vector<long> streamAll(std::string_view text, long count) {
    RecordFieldStream stream(text, "scratch");
    std::vector<long> values;
    for (long i = 0; i < count; ++i) {
        values.push_back(stream.next());
    }
    EXPECT_TRUE(stream.atEnd());
    return values;
}

TEST(FieldStream, CommasBlanksAndLineEndsAllSeparate) {
    EXPECT_EQ(streamAll("60,120,121,   68,1,-5\r\n+7 , 007,,  -32768 32767\r\n\r\n", 10),
              (std::vector<long>{60, 120, 121, 68, 1, -5, 7, 7, -32768, 32767}));
    RecordFieldStream empty(" ,\r\n, ", "scratch");
    EXPECT_TRUE(empty.atEnd());
}

void expectStreamFailure(std::string_view text, long numbersBefore, std::string_view what, long line) {
    RecordFieldStream stream(text, "scratch");
    for (long i = 0; i < numbersBefore; ++i) {
        stream.next();
    }
    try {
        stream.next();
        ADD_FAILURE() << "no failure on \"" << text << "\"";
    } catch (const KestranaError& error) {
        EXPECT_TRUE(holds(error.what_text(), what)) << text;
        EXPECT_EQ(error.line(), line) << text;
        EXPECT_EQ(error.file(), "scratch");
    }
}

TEST(FieldStream, RefusesWhatIsNotASixteenBitWholeNumber) {
    expectStreamFailure("1,2\r\n32768\r\n", 2, "outside", 2);
    expectStreamFailure("-32769", 0, "outside", 1);
    expectStreamFailure("99999999999999999999999", 0, "outside", 1);
    expectStreamFailure("1\r\n2\r\n3,abc", 3, "not a whole number", 3);
    expectStreamFailure("12a", 0, "not a whole number", 1);
    expectStreamFailure("1.5", 0, "not a whole number", 1);
    expectStreamFailure("-", 0, "not a whole number", 1);
    expectStreamFailure("+", 0, "not a whole number", 1);
    expectStreamFailure("--5", 0, "not a whole number", 1);
    expectStreamFailure("1,2", 2, "end inside", 1);
}

// A run file with the given lines, each ended by CR LF.
std::string runText(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

const std::string kBlock1 = "68,1,45,38,21,12,63,59,71,68,44,49,26,42,95,0,115,187,50,30,20,40,0";

std::string blockLine(int block, int tgi = 42) {
    return "68," + std::to_string(block) + ",45,38,21,12,63,59,71,68,44,49,26," + std::to_string(tgi) +
           ",95,0,115,187,50,30,20,40,0";
}

class BlockTableLoad : public ::testing::Test {
protected:
    BlockTable load(const std::string& text) {
        test::writeFile(folder.file("run.run"), text);
        return loadBlockTable(folder.file("run.run"), folder.file("temp.txt"));
    }
    // Loads and expects a failure; returns it for further checks.
    KestranaError loadFailure(const std::string& text) {
        try {
            load(text);
        } catch (const KestranaError& error) {
            return error;
        }
        ADD_FAILURE() << "the load did not fail";
        return KestranaError("none");
    }
    TempFolder folder;
};

TEST_F(BlockTableLoad, OneKilometreOfFiveBlocks) {
    const auto table = load(runText({"95,1,120326,0815", "91,0034,NR,KM,SECTION TEXT", "60,120,121,",
                                     blockLine(1), blockLine(2), blockLine(3), blockLine(4), blockLine(5)}));
    ASSERT_EQ(table.blockCount(), 5);
    for (int r = 0; r < 5; ++r) {
        const auto& row = table.rows[static_cast<std::size_t>(r)];
        EXPECT_EQ(row.field(1), 60);
        EXPECT_EQ(row.field(field::KmFrom), 120);
        EXPECT_EQ(row.field(field::KmTo), 121);
        EXPECT_EQ(row.field(4), 68);
        EXPECT_EQ(row.field(field::BlockNumber), r + 1);
        EXPECT_EQ(row.field(field::U1L), 45);
        EXPECT_EQ(row.field(field::TGI), 42);
        EXPECT_EQ(row.field(field::TGIL), 40);
        EXPECT_EQ(row.field(26), 0);
    }
    EXPECT_EQ(table.runDirection, 1);
    EXPECT_EQ(table.kmFrom(), 120);
    EXPECT_EQ(table.kmTo(), 121);
    EXPECT_EQ(table.header.runNumber(), "1");
    EXPECT_EQ(table.header.date(), "120326");
    // Scaled values are exact quotients of the stored numbers, never rounded.
    EXPECT_DOUBLE_EQ(table.rows[0].scaled(field::U1L, 10), 4.5);
    EXPECT_DOUBLE_EQ(table.rows[0].scaled(field::RIL, 100), 1.87);
}

TEST_F(BlockTableLoad, ScratchFileHoldsOneZonedLinePerPair) {
    load(runText({"95,1,120326", "60,120,121,", kBlock1, "67,6,18,350", "60,121,122,", blockLine(1)}));
    EXPECT_EQ(test::readFile(folder.file("temp.txt")),
              "60,120,121,   " + kBlock1 + "\r\n60,121,122,   " + blockLine(1) + "\r\n");
}

TEST_F(BlockTableLoad, GeneratedRunsLoadToTheGeneratedValues) {
    for (int direction : {1, -1}) {
        bench::RunSpec spec;
        spec.direction = direction;
        spec.kmCount = 7;
        spec.missingKms = {122};
        spec.missingBlocks = {{124, 3}};
        spec.seed = 5;
        const auto run = bench::generateRunWithValues(spec);
        const auto table = load(run.text);
        ASSERT_EQ(static_cast<std::size_t>(table.blockCount()), run.blocks.size());
        for (std::size_t r = 0; r < run.blocks.size(); ++r) {
            for (int n = 1; n <= 26; ++n) {
                ASSERT_EQ(table.rows[r].field(n), run.blocks[r][static_cast<std::size_t>(n - 1)])
                    << "row " << r + 1 << " field " << n;
            }
        }
        EXPECT_EQ(table.runDirection, direction);
        EXPECT_EQ(table.header.headerLine, bench::headerLineOf(spec));
        EXPECT_EQ(table.header.sectionLine, bench::sectionLineOf(spec));
    }
}

TEST_F(BlockTableLoad, AnyLineEndVariantLoadsTheSameTable) {
    const std::string crlf = bench::generateRun(bench::RunSpec{});
    const auto expected = load(crlf);
    std::string lf = crlf;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    std::string cr = lf;
    std::replace(cr.begin(), cr.end(), '\n', '\r');
    std::string mixed = crlf;
    mixed[mixed.find("\r\n")] = ' '; // the "95" line now ends in a blank and a lone LF
    for (const auto& text : {lf, cr, mixed, crlf.substr(0, crlf.size() - 2)}) {
        const auto table = load(text);
        ASSERT_EQ(table.blockCount(), expected.blockCount());
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            ASSERT_EQ(table.rows[r].fields, expected.rows[r].fields);
        }
    }
}

TEST_F(BlockTableLoad, BlockLineBeforeTheFirstKilometreLineShiftsLaterRows) {
    // The early block line brings 23 numbers, the next pair 29 (its kilometre line carries three
    // extra numbers): 52 numbers, two rows. Row 1 ends with the kilometre line's numbers, row 2
    // starts with its extra ones.
    const auto table = load(runText(
        {"68,1,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21", "60,120,121,7,8,9,", kBlock1}));
    ASSERT_EQ(table.blockCount(), 2);
    const auto& first = table.rows[0];
    EXPECT_EQ(first.field(1), 68);
    EXPECT_EQ(first.field(23), 21);
    EXPECT_EQ(first.field(24), 60);
    EXPECT_EQ(first.field(26), 121);
    const auto& second = table.rows[1];
    EXPECT_EQ(second.field(1), 7);
    EXPECT_EQ(second.field(4), 68);
    EXPECT_EQ(second.field(5), 1);
    EXPECT_EQ(second.field(field::RIL), 187);
    EXPECT_EQ(second.field(26), 0);
    EXPECT_EQ(table.runDirection, 1 - 1); // field 3 minus field 2 of the shifted first row
}

TEST_F(BlockTableLoad, BlockLineBeforeAnyKilometreLineAloneFails) {
    const auto error = loadFailure(runText({kBlock1, "60,120,121,", kBlock1}));
    EXPECT_TRUE(holds(error.what_text(), "end inside"));
}

TEST_F(BlockTableLoad, FourthNumberOnAKilometreLine) {
    // Balanced by a short block line later, the stream still fills every row, shifted by one.
    std::string shortBlock = blockLine(2);
    shortBlock.erase(shortBlock.rfind(','));
    const auto table = load(runText({"60,120,121,9,", kBlock1, "60,121,122,", shortBlock}));
    ASSERT_EQ(table.blockCount(), 2);
    EXPECT_EQ(table.rows[0].field(4), 9);
    EXPECT_EQ(table.rows[0].field(5), 68);
    EXPECT_EQ(table.rows[0].field(field::TGI), 26);
    EXPECT_EQ(table.rows[1].field(1), 0); // the first block line's last number starts row 2
    EXPECT_EQ(table.rows[1].field(2), 60);
    // Unbalanced: one number too many after the last row.
    const auto error = loadFailure(runText({"60,120,121,9,", kBlock1, "60,121,122,", blockLine(2)}));
    EXPECT_TRUE(holds(error.what_text(), "left over"));
    EXPECT_EQ(error.line(), 4);
}

TEST_F(BlockTableLoad, ShortLastPairFails) {
    std::string shortBlock = blockLine(2);
    shortBlock.erase(shortBlock.rfind(','));
    const auto error = loadFailure(runText({"60,120,121,", kBlock1, shortBlock}));
    EXPECT_TRUE(holds(error.what_text(), "end inside"));
    EXPECT_EQ(error.file(), folder.file("run.run"));
    EXPECT_EQ(error.line(), 3); // where the numbers ran out: the last block line
}

TEST_F(BlockTableLoad, NoBlockLineFails) {
    const auto error = loadFailure(runText({"95,1,120326", "60,120,121,", "67,6,18,350"}));
    EXPECT_TRUE(holds(error.what_text(), "no block line"));
    EXPECT_EQ(loadFailure("").file(), folder.file("run.run"));
}

TEST_F(BlockTableLoad, BadNumbersAreReportedAtTheRunFileLine) {
    const std::string good = blockLine(1);
    auto error = loadFailure(runText({"95,1,120326", "60,120,121,", good, "68,2,45,32768,21"}));
    EXPECT_TRUE(holds(error.what_text(), "32768"));
    EXPECT_EQ(error.line(), 4);
    EXPECT_EQ(error.file(), folder.file("run.run"));
    EXPECT_TRUE(holds(error.reason(), "line 4"));

    error = loadFailure(runText({"95,1,120326", "60,120,121,", "67,1,2", good, "68,2,4.5,1"}));
    EXPECT_TRUE(holds(error.what_text(), "not a whole number"));
    EXPECT_EQ(error.line(), 5);

    error = loadFailure(runText({"60,120,xyz,", good}));
    EXPECT_TRUE(holds(error.what_text(), "xyz"));
    EXPECT_EQ(error.line(), 2); // the block line of the pair whose kilometre line is bad
}

TEST_F(BlockTableLoad, DirectionIsTakenFromTheFirstRowWithoutChecks) {
    EXPECT_EQ(load(runText({"60,151,150,", kBlock1, "60,150,149,", kBlock1})).runDirection, -1);
    EXPECT_EQ(load(runText({"60,120,120,", kBlock1})).runDirection, 0);
    EXPECT_EQ(load(runText({"60,120,125,", kBlock1})).runDirection, 5);
    // A last kilometre that runs the other way is kept as it is.
    const auto table = load(runText({"60,120,121,", kBlock1, "60,122,121,", kBlock1}));
    EXPECT_EQ(table.kmFrom(), 120);
    EXPECT_EQ(table.kmTo(), 121);
    EXPECT_EQ(table.rows.back().field(field::KmFrom), 122);
    const auto error = loadFailure(runText({"60,-32768,32767,", kBlock1}));
    EXPECT_TRUE(holds(error.what_text(), "16 bits"));
}

TEST_F(BlockTableLoad, NegativeAndExtremeValuesAreKeptAsRead) {
    const auto table =
        load(runText({"60,-5,-6,", "68,1,-75,0,0,0,0,0,0,0,0,0,0,-7,0,0,-32768,32767,0,0,0,0,-1"}));
    EXPECT_EQ(table.rows[0].field(field::U1L), -75);
    EXPECT_EQ(table.rows[0].field(field::TGI), -7);
    EXPECT_EQ(table.rows[0].field(field::RIV), -32768);
    EXPECT_EQ(table.rows[0].field(field::RIL), 32767);
    EXPECT_EQ(table.rows[0].field(26), -1);
    EXPECT_EQ(table.runDirection, -1);
}

TEST_F(BlockTableLoad, AtMost32767BlockLines) {
    bench::RunSpec spec;
    spec.maxBlockLines = 32767;
    const auto table = load(bench::generateRun(spec));
    EXPECT_EQ(table.blockCount(), 32767);
    EXPECT_EQ(table.rows.back().field(field::BlockNumber), 2); // 32767 = 5 x 6553 + 2

    spec.maxBlockLines = 32768;
    const std::string text = bench::generateRun(spec);
    const auto error = loadFailure(text);
    EXPECT_TRUE(holds(error.what_text(), "32767"));
    // The failure names the 32768th block line, which is the file's last line.
    EXPECT_EQ(error.line(), static_cast<long>(std::count(text.begin(), text.end(), '\n')));
}

TEST(BlockRows, ExactRowCountFromAStream) {
    const std::string one = "60,120,121,   " + kBlock1 + "\r\n";
    EXPECT_EQ(parseBlockRows(one + one, "s", 2).size(), 2u);
    EXPECT_TRUE(parseBlockRows("", "s", 0).empty());
    EXPECT_THROW(parseBlockRows(one + one, "s", 1), KestranaError);
    EXPECT_THROW(parseBlockRows(one, "s", 2), KestranaError);
}

} // namespace
} // namespace kestrana::runfile
