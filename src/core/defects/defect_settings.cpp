// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/defects/defect_settings.h"

#include "core/common/errors.h"
#include "core/common/text.h"
#include "core/peaks/parameters.h"
#include "core/runfile/field_stream.h"

#include <string>

namespace kestrana::defects {

namespace {

common::Error refusal(std::string_view message, std::string_view typed) {
    return common::Error::refused(message, "\"" + std::string(typed) + "\"");
}

// A whole number (sign and digits only) from `low` to `high`.
std::int16_t wholeNumberIn(std::string_view text, std::int16_t low, std::int16_t high,
                           std::string_view message) {
    std::int16_t value = 0;
    std::string problem;
    if (!runfile::parseWholeNumber(text, value, problem) || value < low || value > high) {
        throw refusal(message, text);
    }
    return value;
}

} // namespace

std::int16_t parameterFromText(std::string_view name) {
    const auto parameter = peaks::findPeakParameter(name);
    if (!parameter) {
        throw refusal(kParameterMessage, name);
    }
    return parameter->code;
}

LimitSetting limitFromText(std::string_view text) {
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        throw refusal(kLimitFormMessage, text);
    }
    return LimitSetting{parameterFromText(text.substr(0, equals)),
                        wholeNumberIn(text.substr(equals + 1), 0, 32767, kLimitMessage)};
}

std::int16_t toleranceFromText(std::string_view text) {
    return wholeNumberIn(text, 0, kLargestTolerance, kToleranceMessage);
}

std::vector<DefectStatus> statusesFromText(std::string_view text) {
    std::vector<DefectStatus> statuses;
    for (std::size_t start = 0;;) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view name = text.substr(start, comma - start);
        const auto status = statusFromName(name);
        if (!status) {
            throw refusal(kStatusMessage, name);
        }
        statuses.push_back(*status);
        if (comma == text.size()) {
            return statuses;
        }
        start = comma + 1;
    }
}

std::int16_t tgiAtLeastFromText(std::string_view text) {
    const auto value = common::textToInt16(text);
    if (!value) {
        throw refusal(kGoodTrackMessage, text);
    }
    return *value;
}

} // namespace kestrana::defects
