// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/analyser/screen_state.h"

namespace kestrana::analyser {

int scrolledTitleLeft(int titleLeft, int titleWidth, int bandLeft, int bandWidth) {
    const int left = titleLeft - 5;
    // The design positions are multiples of 5 twips, so the edges meet exactly; "reached or passed"
    // keeps the title moving with any other positions too.
    if (left + titleWidth <= bandLeft) {
        return bandLeft + bandWidth;
    }
    return left;
}

std::string CreditLine::tick() {
    if (counter_ > 50) {
        counter_ = 0;
    }
    ++counter_;
    return std::string(kCreditText.substr(0, static_cast<std::size_t>(counter_)));
}

} // namespace kestrana::analyser
