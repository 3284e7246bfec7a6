// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/history/history_settings.h"

#include "core/common/text.h"

namespace kestrana::history {

namespace {
std::int16_t wholeNumberOr(std::string_view text, std::string_view refusal) {
    const auto value = common::textToInt16(text);
    if (!value) {
        throw SettingRefused(std::string(refusal));
    }
    return *value;
}
} // namespace

BlockIndex indexFromText(std::string_view text) {
    const auto index = indexFromName(text);
    if (!index) {
        throw SettingRefused(std::string(kIndexChoiceMessage));
    }
    return *index;
}

std::int16_t thresholdFromText(std::string_view text) {
    return wholeNumberOr(text, kThresholdMessage);
}

std::int16_t jumpFromText(std::string_view text) {
    const std::int16_t jump = wholeNumberOr(text, kJumpMessage);
    if (jump <= 0) {
        throw SettingRefused(std::string(kJumpMessage));
    }
    return jump;
}

std::int16_t kmFromText(std::string_view text) {
    return wholeNumberOr(text, kKmMessage);
}

std::int16_t blockFromText(std::string_view text) {
    return wholeNumberOr(text, kBlockMessage);
}

int directionFromText(std::string_view text) {
    const auto value = common::textToInt16(text);
    if (!value || (*value != 1 && *value != -1)) {
        throw SettingRefused(std::string(kDirectionMessage));
    }
    return *value;
}

int horizonMonthsFromText(std::string_view text) {
    const auto value = common::textToInt16(text);
    if (!value || *value < 0 || *value > 1200) {
        throw SettingRefused(std::string(kHorizonMessage));
    }
    return *value;
}

} // namespace kestrana::history
