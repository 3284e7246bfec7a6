// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The run database: the compared index of the current run and of one to three older runs, one table
// per run slot ("trc0" to "trc3") with the fields tgi1 (km from), tgi2 (km to), tgi3 (block number)
// and tgi4 (the compared index), one row per block line in file order. PROCESS DATA rebuilds it from
// the run files; COMPARE reads it.

#include "core/common/errors.h"
#include "core/comparator/session.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::comparator {

// "trc" followed by the slot digit.
std::string runTableName(int slot);
// The fields of a run table, in creation order.
const std::vector<std::string>& runTableFields();
// The index added to a run table after its load: it speeds the lookups of (km, block) and keeps
// rows of equal keys in stored order, so "the first row found" stays the first row added.
std::string runTableIndexName(int slot);

// The names the parameter combo box lists, in order.
inline constexpr std::array<std::string_view, 5> kCompareParameterNames = {"TGI", "TGIU", "TGIW", "TGIG",
                                                                           "TGIL"};
// The block field stored in tgi4 for a parameter name (compared exactly, case included): TGI 17,
// TGIU 22, TGIW 23, TGIG 24, TGIL 25; nullopt for any other text.
std::optional<int> compareParameterField(std::string_view parameter);

// -------------------------------------------------------------------------------------------------
// olderRunCountEdit edited: the number of older runs and which slots are usable.

enum class SlotEnabling { Unchanged, Enabled, Disabled };

struct OlderRunsEdit {
    std::int16_t olderRuns = 0; // n after the edit
    // For slots 1 to 3 (index 0 is always Unchanged): enable (window colour, heading enabled),
    // disable (grey, heading disabled) or leave as they are.
    std::array<SlotEnabling, kSlotCount> runSlots{};
    bool showEnterOneToThree = false; // show kEnterOneToThreeMessage
};
// Every edit also shows the four path boxes again and disables COMPARE and PRINT DETAILS; the screen
// does that itself. A count of 1 to 3 becomes n and enables slots 1 to n. Anything else disables
// slots 1 to 3, so that a greyed slot is never loaded: a text that is not a number makes n 0
// (nothing to load); a number outside 1 to 3 shows the message and becomes n (which loads nothing);
// a number beyond the 16-bit range shows the message and makes n 0.
OlderRunsEdit olderRunsEdited(std::string_view text);

// -------------------------------------------------------------------------------------------------
// PROCESS DATA.

struct BuildRequest {
    std::array<std::string, kSlotCount>
        slotPaths;              // the texts of runFileEdits(0) to runFileEdits(3), as files to open
    std::int16_t olderRuns = 0; // n
    std::string parameter;      // the text of parameterCombo
    std::string databaseBase;   // the store adds its extension: <home>/trcdbase
    // The design's pair scratch file (<home>/temp_1.txt). Nothing is written there any more: a fault
    // in a run's numbers is reported at its line in that layout (pair n on line n), as before.
    std::string scratchPath;
};

// Told after each slot has loaded, in slot order, so the screen can hide the slot's path box, show
// its km caption and the message, and for slot 0 then fill the km boxes.
struct SlotLoaded {
    int slot = 0;
    std::string kmCaption; // the new caption of slotKmLabels(slot)
    std::string message;   // "File for TRC Run(k) successfully opened"
    // Slot 0 only, set after its message: kmRangeEdits(0) = start km; kmRangeEdits(1) = direction * 50 +
    // start km, or 0 when that is negative (unset when it leaves 16 bits: the build then fails).
    std::optional<std::string> kmFromText;
    std::optional<std::string> kmToText;
};

struct BuildResult {
    enum class Outcome {
        Built,            // COMPARE and the km boxes become usable
        CountRefused,     // n is not 1 to 3: nothing was touched; show `message`
        ParameterRefused, // nothing was touched; show `message`
        DatabaseFailed,   // the database could not be made; show `message`
        SlotFailed        // show `message`, show all path boxes and empty all km captions
    };
    Outcome outcome = Outcome::Built;
    // Set unless Built: the message to show and what exactly went wrong (file, line).
    std::optional<common::Error> failure;
    int slotsLoaded = 0;
    std::optional<std::string> kmFromText; // the km box texts set by slot 0, when it loaded
    std::optional<std::string> kmToText;
};

// Rebuilds the run database from slots 0 to n; refuses n outside 1 to 3 before anything is touched. Keeps in
// `session` per loaded slot its header line, direction and km caption, the section of slot 0, and
// the start km and current direction of the slot loaded last; a failing slot empties every km caption.
// Tables loaded before a failure stay in the database. `onSlotLoaded` may be empty.
BuildResult buildRunDatabase(const BuildRequest& request, ComparatorSession& session,
                             const std::function<void(const SlotLoaded&)>& onSlotLoaded = {});

} // namespace kestrana::comparator
