// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// What the comparator keeps behind its screen for the program's lifetime: the number of older runs,
// the run slots and the values the build leaves for COMPARE. Closing and opening the screen again
// starts its controls from their design texts, but these values stay until an operation replaces
// them (so n can differ from what olderRunCountEdit shows until olderRunCountEdit is edited).

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrana::comparator {

// Slot 0 is the current run, slots 1 to 3 the older runs (slot 1 the oldest).
constexpr int kSlotCount = 4;

// Whether n older runs are something to load and compare; for any other n PROCESS DATA loads nothing
// and COMPARE lists nothing.
constexpr bool isOlderRunCount(int olderRuns) {
    return olderRuns >= 1 && olderRuns <= 3;
}

// The design texts of the path boxes runFileEdits(0) to runFileEdits(3) (the screen maps them into the home
// folder).
inline constexpr std::array<std::string_view, kSlotCount> kDesignSlotPaths = {
    "d:\\TRCDATA\\trcdata0.run", "d:\\TRCDATA\\trcdata1.run", "d:\\TRCDATA\\trcdata2.run",
    "d:\\TRCDATA\\trcdata3.run"};

struct RunSlot {
    std::string headerLine;     // the "95" line kept when the slot last loaded
    std::int16_t direction = 0; // km to - km from of the table's first row: 1 rising, -1 falling
    std::string kmCaption;      // caption of slotKmLabels(k): "Km  120 To Km  140"

    // Positions 6 to 11 of the header line as they stand: the run date that labels the run.
    std::string runDate() const;
};

struct ComparatorSession {
    std::int16_t olderRuns = 0; // n, from olderRunCountEdit; meaningful values 1 to 3
    std::array<RunSlot, kSlotCount> runSlots;
    std::string section;               // the "91" line of slot 0, positions 15 to 44, trimmed
    std::int16_t startKm = 0;          // km from of the first row of the slot loaded last
    std::int16_t currentDirection = 0; // direction of the slot loaded last
    // The stamp of the run database the last PROCESS DATA made (0 before any): COMPARE refuses a file
    // that another program sharing the home folder has rebuilt since.
    std::uint64_t databaseStamp = 0;

    // The run dates of slots 0 to 3 (empty for a slot that never loaded).
    std::array<std::string, kSlotCount> runDates() const;
    // The directions of slots 0 to 3.
    std::array<std::int16_t, kSlotCount> directions() const;
};

// The one session of the comparator screen, living as long as the program.
ComparatorSession& comparatorSession();

} // namespace kestrana::comparator
