// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The typed settings of defect tracking and their refusals: a parameter by name, a limit written
// NAME=VALUE, the tolerance, a list of statuses and the TGI of good track. Each refusal is a
// common::Error whose message is one of the texts below and whose reason quotes what was typed.

#include "core/defects/defect_tracking.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrana::defects {

inline constexpr std::int16_t kLargestTolerance = 1000; // metres: a kilometre

inline constexpr std::string_view kParameterMessage =
    "The parameter must be one of UN1L, UN1R, TW1, GAUGE, AL1L, AL1R, UN2L, UN2R, AL2L, AL2R, VACC or LACC.";
inline constexpr std::string_view kLimitFormMessage = "A limit is written NAME=VALUE, for example UN2L=12.";
inline constexpr std::string_view kLimitMessage = "A limit must be a whole number from 0 to 32767.";
inline constexpr std::string_view kToleranceMessage =
    "The tolerance must be a whole number of metres from 0 to 1000.";
inline constexpr std::string_view kStatusMessage =
    "A status must be one of repeat, new, recurring or gone (several separated by commas).";
inline constexpr std::string_view kGoodTrackMessage =
    "The TGI of good track must be a number between -32768 and 32767.";

// The code of a parameter name, compared exactly (the twelve names the peak analyser knows).
std::int16_t parameterFromText(std::string_view name);

struct LimitSetting {
    std::int16_t code = 0;
    std::int16_t limit = 0;
};
// "UN2L=12": a known name, "=", a whole number from 0 to 32767 (an optional sign, digits only).
LimitSetting limitFromText(std::string_view text);
// A whole number of metres from 0 to kLargestTolerance.
std::int16_t toleranceFromText(std::string_view text);
// "repeat", "new,gone": one or more status names separated by commas, in the order written.
std::vector<DefectStatus> statusesFromText(std::string_view text);
// A number read as the other screens read typed numbers (rounded to whole, halves to even, 16 bits).
std::int16_t tgiAtLeastFromText(std::string_view text);

} // namespace kestrana::defects
