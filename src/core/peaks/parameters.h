// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The parameters the peak analyser knows: the name shown in the combo, the limiting value the choice
// puts into the limit box, and the code of the parameter's peak lines.

#include "core/peaks/session.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrana::peaks {

struct PeakParameter {
    std::string_view name;
    std::string_view defaultLimit; // as typed into the limit box
    std::int16_t code;
};

// All twelve, in table order.
std::span<const PeakParameter> peakParameters();
// The ten names the combo offers, in order (VACC and LACC are known but not offered).
std::vector<std::string> comboParameterNames();
// The parameter whose name is exactly `text`; none for any other text.
std::optional<PeakParameter> findPeakParameter(std::string_view text);

// The parameter choice: for a known name, sets the session's parameter code and returns the default
// limit for the limit box; any other text changes nothing and returns none.
std::optional<std::string> chooseParameter(std::string_view comboText, PeakSession& session);

} // namespace kestrana::peaks
