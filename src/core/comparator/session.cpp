// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/comparator/session.h"

#include "core/common/text.h"

namespace kestrana::comparator {

std::string RunSlot::runDate() const {
    return std::string(common::cutField(headerLine, 6, 6));
}

std::array<std::string, kSlotCount> ComparatorSession::runDates() const {
    std::array<std::string, kSlotCount> dates;
    for (int k = 0; k < kSlotCount; ++k) {
        dates[k] = runSlots[k].runDate();
    }
    return dates;
}

std::array<std::int16_t, kSlotCount> ComparatorSession::directions() const {
    std::array<std::int16_t, kSlotCount> result{};
    for (int k = 0; k < kSlotCount; ++k) {
        result[k] = runSlots[k].direction;
    }
    return result;
}

ComparatorSession& comparatorSession() {
    static ComparatorSession session;
    return session;
}

} // namespace kestrana::comparator
