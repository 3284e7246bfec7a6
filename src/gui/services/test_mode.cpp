// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/services/test_mode.h"

#include "gui/services/test_hook.h"

#include <vector>

namespace kestrana::gui::services {

namespace {

bool testModeOn = false;

std::vector<std::function<void()>>& resetters() {
    static std::vector<std::function<void()>> registered;
    return registered;
}

} // namespace

void onServicesReset(std::function<void()> clear) {
    resetters().push_back(std::move(clear));
}

void enableTestMode() {
    testModeOn = true;
}

bool inTestMode() {
    return testModeOn;
}

void resetServices() {
    for (const std::function<void()>& clear : resetters())
        clear();
}

} // namespace kestrana::gui::services
