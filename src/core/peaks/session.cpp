// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/peaks/session.h"

#include "core/common/paths.h"

namespace kestrana::peaks {

PeakSession& programPeakSession() {
    static PeakSession session;
    return session;
}

PeakFiles PeakFiles::in(const std::string& folder) {
    return PeakFiles{common::joinPath(folder, "temp_peak.txt"), common::joinPath(folder, "temp_peak1.txt"),
                     common::joinPath(folder, "trcpeak"), true};
}

} // namespace kestrana::peaks
