// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/library/run_library.h"

#include <tuple>

namespace kestrana::library {

bool runComesBefore(const RunRecord& a, const RunRecord& b) {
    if (a.day != b.day) {
        return a.day < b.day;
    }
    if (a.runNumber != b.runNumber) {
        return a.runNumber < b.runNumber;
    }
    return a.id < b.id;
}

bool logComesBefore(const LogEntry& a, const LogEntry& b) {
    const auto key = [](const LogEntry& entry) {
        return std::tie(entry.time, entry.action, entry.series, entry.day, entry.runNumber, entry.file,
                        entry.run, entry.user);
    };
    return key(a) < key(b);
}

} // namespace kestrana::library
