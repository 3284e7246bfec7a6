// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// What the user chooses for a history, a forecast or a maintenance list, and the refusals of typed
// values. The screen shows a refusal's text in a message box; the command line prints it first.

#include "core/history/terms.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrana::history {

struct HistorySettings {
    BlockIndex index = BlockIndex::TGI;
    std::int16_t threshold = kDefaultThreshold; // X: "below" under this value
    std::int16_t jump = kDefaultJump;           // J: a rise of at least this much is maintenance (> 0)
    bool operator==(const HistorySettings&) const = default;
};

// A typed value that cannot be used; what() is the message.
class SettingRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::string_view kIndexChoiceMessage =
    "The index must be one of TGI, TGIU, TGIW, TGIG or TGIL.";
inline constexpr std::string_view kThresholdMessage =
    "The threshold must be a number between -32768 and 32767.";
inline constexpr std::string_view kJumpMessage =
    "The maintenance jump must be a whole number of points from 1 to 32767.";
inline constexpr std::string_view kKmMessage = "A km must be a number between -32768 and 32767.";
inline constexpr std::string_view kBlockMessage = "A block number must be a number between -32768 and 32767.";
inline constexpr std::string_view kDirectionMessage =
    "The direction must be 1 (rising km) or -1 (falling km).";
inline constexpr std::string_view kHorizonMessage =
    "The horizon must be a whole number of months from 0 to 1200.";

// Typed texts read as the other screens read numbers (rounded to a whole number, halves to even,
// 16 bits). Each throws SettingRefused with its message above.
BlockIndex indexFromText(std::string_view text);
std::int16_t thresholdFromText(std::string_view text);
std::int16_t jumpFromText(std::string_view text);
std::int16_t kmFromText(std::string_view text);
std::int16_t blockFromText(std::string_view text);
int directionFromText(std::string_view text);
int horizonMonthsFromText(std::string_view text);

} // namespace kestrana::history
