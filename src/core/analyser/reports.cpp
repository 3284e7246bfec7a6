// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/analyser/reports.h"

#include "core/common/paths.h"
#include "core/common/text.h"

#include <array>

namespace kestrana::analyser {

using common::HardCopyScript;
using common::plainInt;

namespace {

// Where PRINT GRAPH puts the chart picture (twips from the page's top-left corner).
constexpr int kGraphPictureX = 2400;
constexpr int kGraphPictureY = 1000;
// The left edge of the PRINT GRAPH texts and of the PRINT DETAILS listing, in twips.
constexpr int kGraphTextX = 3000;
constexpr int kDetailsX = 1200;

// The figure lines of PRINT GRAPH, each followed by its value as "00.00" and " %".
constexpr std::array<std::string_view, 4> kGraphBandLabels = {
    " Track below TGI 36              =  ", " Track between TGI 36 - 50   =  ",
    " Track between TGI 51 - 80   =  ", " Track above TGI 80              =  "};
constexpr std::string_view kGraphNonRecordedLabel = " Non Recorded Track            =  ";
constexpr std::string_view kGraphAverageLabel = " Average  TGI                         =  ";
constexpr std::string_view kNotAvailable = "not available";

} // namespace

ReportHeading reportHeadingOf(const runfile::RunHeader& header) {
    return ReportHeading{header.shortSection(), header.date()};
}

HardCopyScript printGraphScript(std::string_view title, const ReportHeading& heading,
                                const AnalysisRange& range, const QualityDistribution& figures,
                                std::string_view dateTimeText) {
    HardCopyScript script;
    script.printLine(" ");
    script.setPosition(1200, 700);
    script.drawPicture(kGraphPictureX, kGraphPictureY);
    script.printLine(" ");

    script.setFontSize(12);
    script.setBold(true);
    script.setPosition(3600, 7400);
    script.printLine("  Track Quality Distribution ");
    for (int i = 0; i < 4; ++i) {
        script.printLine(" ");
    }

    script.setFontSize(13);
    script.setUnderline(true);
    script.printLineAt(kGraphTextX, std::string(title));
    script.printLine("");
    script.printLineAt(kGraphTextX, heading.section + " Run Date : " + heading.runDate);
    script.printLine("");
    script.printLineAt(kGraphTextX, " Quality Distribution between Km " + plainInt(range.startKm) + " to " +
                                        plainInt(range.endKm));

    script.setUnderline(false);
    script.setFontSize(12);
    script.setItalic(true);
    script.printLine(" ");
    for (std::size_t band = 0; band < kGraphBandLabels.size(); ++band) {
        script.printLineAt(kGraphTextX, std::string(kGraphBandLabels[band]) +
                                            common::formatPattern(figures.bandShares[band], "00.00") + " %");
        script.printLine(" ");
    }
    script.printLineAt(kGraphTextX, std::string(kGraphNonRecordedLabel) +
                                        common::formatPattern(figures.nonRecordedShare, "00.00") + " %");
    script.printLine(" ");
    script.printLineAt(kGraphTextX,
                       std::string(kGraphAverageLabel) +
                           (figures.averageTgi ? common::formatPattern(*figures.averageTgi, "#00.00")
                                               : std::string(kNotAvailable)));
    for (int i = 0; i < 3; ++i) {
        script.printLine("");
    }

    script.setX(500);
    script.setBold(false);
    script.setFontSize(10);
    script.printLine("Kestrana ( " + std::string(dateTimeText) + " ) ");
    script.endDoc();
    return script;
}

HardCopyScript printDetailsScript(std::string_view title, const DetailsReport& report) {
    HardCopyScript script;
    script.setBold(true);
    script.setFontSize(11);
    script.setUnderline(true);
    script.setY(500);
    script.setX(kDetailsX);
    script.printLine(std::string(title));
    script.printLine("");
    script.printLineAt(kDetailsX, report.heading.section + "Run Date : " + report.heading.runDate);
    script.printLine("");
    script.printLineAt(kDetailsX,
                       " Lcations with " + report.indexName + " between " + plainInt(report.bounds.low()) +
                           " and " + plainInt(report.bounds.high()) + " ( Km " +
                           plainInt(report.range.startKm) + " - " + plainInt(report.range.endKm) + " )");
    script.printLine("");
    script.setUnderline(false);
    // The column header and the rows in one fixed-pitch face and size, so that the header stands over
    // its columns; it opens every later page too.
    script.setFontSize(9);
    script.setFixedPitch(true);
    const std::string header = common::alignedHeader(report.header, report.listingEntries);
    script.printLineAt(kDetailsX, header);
    script.repeatOnNewPages(kDetailsX, header);
    script.repeatOnNewPages(kDetailsX, "");
    script.printLine("  ");
    script.setBold(false);
    for (const std::string& entry : report.listingEntries) {
        script.printLineAt(kDetailsX, entry);
    }
    script.endDoc();
    return script;
}

std::string savedReportText(const DetailsReport& report) {
    std::string text;
    text.reserve(200 + report.listingEntries.size() * 41);
    const auto line = [&text](std::string_view content) {
        text += content;
        text += "\r\n";
    };
    line(report.heading.section + "Run Date : " + report.heading.runDate);
    line(" km   " + plainInt(report.range.startKm) + common::printedInt(report.range.endKm));
    line("  " + report.indexName + " between " + plainInt(report.bounds.low()) + " and " +
         plainInt(report.bounds.high()));
    line("");
    line(report.header);
    for (std::size_t i = 0; i < report.listingEntries.size(); i += 2) {
        line(report.listingEntries[i]);
    }
    return text;
}

void saveReport(const std::string& path, std::string_view reportText) {
    common::writeFileAtomically(path, reportText);
}

} // namespace kestrana::analyser
