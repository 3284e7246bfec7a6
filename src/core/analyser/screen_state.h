// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The analyser screen's own behaviour, kept apart from the widgets: which buttons are usable after
// each event, the scrolling title and the credit line typed out character by character.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrana::analyser {

// Enabled states of the buttons that depend on earlier operations; all start disabled when the screen
// opens. PROCESS DATA, GO TO MAIN and the two Browse buttons are always enabled.
struct AnalyserButtons {
    bool processInformation = false; // processInformationButton
    bool showDetails = false;        // showDetailsButton
    bool calcTrackShare = false;     // calcTrackShareButton
    bool printDetails = false;       // printDetailsButton
    bool printGraph = false;         // printGraphButton
    bool saveDetails = false;        // saveDetailsButton

    // A new run withdraws every result of the run before it: only PROCESS INFORMATION is usable.
    void processDataSucceeded() { *this = AnalyserButtons{.processInformation = true}; }
    void processInformationDone() { showDetails = calcTrackShare = printGraph = true; }
    void showDetailsDone() { printDetails = saveDetails = true; }
    // PRINT GRAPH can be used once per PROCESS INFORMATION.
    void printGraphDone() { printGraph = false; }
    // A changed run-file path withdraws what works on the processed run; PRINT GRAPH and SAVE DETAILS
    // keep their state and still work on the old results.
    void runFileChanged() { processInformation = showDetails = calcTrackShare = printDetails = false; }
    bool operator==(const AnalyserButtons&) const = default;
};

// The title label moves 5 twips to the left on every tick; once its right edge reaches the band's
// left edge it starts again at the band's right end. Returns the label's new left edge (twips).
int scrolledTitleLeft(int titleLeft, int titleWidth, int bandLeft, int bandWidth);

// The credit line under the title, typed out one character per tick.
inline constexpr std::string_view kCreditText = "Kestrana - track geometry index analysis";

class CreditLine {
public:
    // One tick: the counter starts again after 50, then counts up; the caption is the first
    // `counter` characters of the credit text (all of it once the counter passes its length).
    std::string tick();
    std::int16_t counter() const { return counter_; }

private:
    std::int16_t counter_ = 0; // 0 when the program starts
};

} // namespace kestrana::analyser
