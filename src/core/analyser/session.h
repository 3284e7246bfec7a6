// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// What the analyser keeps behind its screen for the program's lifetime: the processed run and the
// values of the views. Closing and opening the screen again starts its controls afresh, but these
// stay until an operation replaces them. Each operation computes into a result first and keeps its
// values only when it succeeds, so a refusal leaves everything as it was.

#include "core/analyser/listing.h"
#include "core/analyser/quality.h"
#include "core/analyser/raw_view.h"
#include "core/analyser/screen_state.h"
#include "core/analyser/values.h"
#include "core/runfile/block_table.h"

#include <string_view>

namespace kestrana::analyser {

struct AnalyserSession {
    runfile::BlockTable table;
    AnalysisRange range;
    QualityDistribution distribution;
    ListingBounds listingBounds;
    ShareBounds shareBounds;
    // The credit line's counter runs on from where it was when the screen opens again.
    CreditLine creditLine;

    // Only a successful PROCESS DATA replaces the table, header lines included: a failed one leaves
    // the views on the run the screen still describes.
    void keepTable(runfile::BlockTable processed) { table = std::move(processed); }

    // PROCESS INFORMATION: keeps the range and the figures. Throws common::Error.
    QualityResult processInformation(std::string_view startKmText, std::string_view endKmText);
    // SHOW DETAILS over the kept range: keeps the listing bounds. Throws common::Error.
    Listing showDetails(std::string_view lowText, std::string_view highText, std::string_view indexName);
    // CALC TRACK % over the kept range: keeps the share bounds. Throws common::Error.
    TrackShare calcTrackShare(std::string_view lowText, std::string_view highText);
    // A click on a listingList entry.
    RawView rawView(std::string_view listingEntry) const { return rawViewOfEntry(table, listingEntry); }
};

// The one session of the analyser screen, living as long as the program.
AnalyserSession& analyserSession();

} // namespace kestrana::analyser
