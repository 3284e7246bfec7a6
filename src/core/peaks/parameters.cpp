// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/peaks/parameters.h"

#include <array>

namespace kestrana::peaks {

namespace {

// Codes 10 and 11 belong to no name.
constexpr std::array<PeakParameter, 12> kParameters{{
    {"UN2L", "15", 6},
    {"UN2R", "15", 7},
    {"AL2L", "10", 8},
    {"AL2R", "10", 9},
    {"GAUGE", "6", 3},
    {"TW1", "10", 2},
    {"UN1L", "10", 0},
    {"UN1R", "10", 1},
    {"AL1L", "6", 4},
    {"AL1R", "6", 5},
    {"VACC", "0.20", 12},
    {"LACC", "0.20", 13},
}};

constexpr std::size_t kOfferedCount = 10;

} // namespace

std::span<const PeakParameter> peakParameters() {
    return kParameters;
}

std::vector<std::string> comboParameterNames() {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kOfferedCount; ++i) {
        names.emplace_back(kParameters[i].name);
    }
    return names;
}

std::optional<PeakParameter> findPeakParameter(std::string_view text) {
    for (const auto& parameter : kParameters) {
        if (parameter.name == text) {
            return parameter;
        }
    }
    return std::nullopt;
}

std::optional<std::string> chooseParameter(std::string_view comboText, PeakSession& session) {
    const auto parameter = findPeakParameter(comboText);
    if (!parameter) {
        return std::nullopt;
    }
    session.parameterCode = parameter->code;
    return std::string(parameter->defaultLimit);
}

} // namespace kestrana::peaks
