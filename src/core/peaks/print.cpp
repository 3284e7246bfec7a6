#include "core/peaks/print.h"

#include "core/platform/text.h"

#include <charconv>

namespace kestrana::peaks {

namespace {

// Twips from the page's left edge.
constexpr int kHeadingX = 1400;
constexpr int kColumnsX = 900;
constexpr int kTopY = 600;

// Entry `entry` of a list under a number pattern; an empty or missing entry stays empty.
std::string patterned(const std::vector<std::string>& list, std::size_t entry, std::string_view pattern) {
    if (entry >= list.size() || list[entry].empty()) {
        return {};
    }
    const std::string& text = list[entry];
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return text;
    }
    return platform::formatPattern(value, pattern);
}

} // namespace

std::string printedRow(const ColumnLists& lists, std::size_t entry) {
    std::string row = patterned(lists[0], entry, "0000") + "  " + patterned(lists[1], entry, "0000");
    for (std::size_t j = 1; j <= 8; ++j) {
        row += "    " + patterned(lists[2 * j], entry, "0000");
        row += j == 8 ? "   " : "  ";
        row += patterned(lists[2 * j + 1], entry, "00");
    }
    return row;
}

platform::HardCopyScript peakHardCopy(const PeakPrintTexts& texts, const ColumnLists& lists,
                                      const PeakSession& session) {
    platform::HardCopyScript script;
    script.setBold(true);
    script.setFontSize(11);
    script.setUnderline(true);
    script.setY(kTopY);

    script.printLineAt(kHeadingX, texts.title);
    script.printLine("");
    script.printLineAt(kHeadingX, std::string(platform::trimBlanks(session.header.section())) +
                                      "        Run Date : " + session.header.date());
    script.printLine("");
    script.printLineAt(kHeadingX, texts.parameterText + "  peaks > " + texts.limitText + " mm  between  KM " +
                                      texts.kmFromText + " - " + texts.kmToText);
    script.printLine("");
    script.printLineAt(kHeadingX, "( Kms = " + platform::shortestFloat(session.kmShare) +
                                      "%      Total Peaks = " + platform::plainInt(session.totalPeaks) +
                                      " )");
    script.printLine("");

    script.setFontSize(10);
    script.printLineAt(kColumnsX, std::string(kPrintColumnHeader));
    script.setBold(false);
    script.setFontSize(9);
    script.printLine("");
    script.setUnderline(false);

    for (std::size_t entry = 0; entry < lists[0].size(); ++entry) {
        script.printLineAt(kColumnsX, printedRow(lists, entry));
    }
    script.endDoc();
    return script;
}

} // namespace kestrana::peaks
