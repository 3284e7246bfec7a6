// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The analyser's refusals: an operation that cannot give a sound result from what was typed refuses
// before it changes anything, with one of these texts. The screen shows the text in a message box;
// the command-line front end prints it as the first line of its error output.

#include "core/common/errors.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrana::analyser {

// PROCESS INFORMATION: a km box that does not hold a number of the 16-bit range.
inline constexpr std::string_view kRangeRefusedMessage =
    " Starting KM and Ending KM must be numbers between -32768 and 32767.";
// PROCESS INFORMATION and CALC TRACK %: no block lies wholly inside the range in the run's direction,
// so there is nothing to take a share of.
inline constexpr std::string_view kNoBlockInRangeMessage =
    " No block of the run lies within the chosen kilometre range.";
// SHOW DETAILS: LOW or HIGH is not a number, or LOW - 1 or HIGH + 1 leaves the 16-bit range.
inline constexpr std::string_view kListingBoundsRefusedMessage =
    " LOW and HIGH must be numbers, with LOW - 1 and HIGH + 1 between -32768 and 32767.";
// SHOW DETAILS: a typed index name that is none of the five.
inline constexpr std::string_view kIndexRefusedMessage =
    " Please choose the index from the list: TGI, TGIU, TGIW, TGIG or TGIL.";
// CALC TRACK %: a TGI VALUE box that is not a number, or Low - 1 or High + 1 leaves the 16-bit range.
inline constexpr std::string_view kShareBoundsRefusedMessage =
    " TGI VALUE (Low) and TGI VALUE (High) must be numbers, with Low - 1 and High + 1 between -32768 and "
    "32767.";
// SAVE DETAILS: the report file could not be written (the reason follows it).
inline constexpr std::string_view kReportNotSavedMessage =
    " Could not save the details. Please choose another file name.";

} // namespace kestrana::analyser
