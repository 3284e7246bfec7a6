// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Small run files written by hand for the comparator tests, so every stored value is known.

#include "core/comparator/run_database.h"
#include "core/comparator/session.h"
#include "support/test_support.h"

#include <string>
#include <vector>

namespace kestrana::test {

// A "68" line of 23 numbers: block number, eleven SDs, TGI, speed, a kept value, two ride indices,
// the four sub-indices and a last kept value.
inline std::string blockLine(int block, int tgi, int tgiu = 0, int tgiw = 0, int tgig = 0, int tgil = 0) {
    return "68," + std::to_string(block) + ",45,38,21,12,63,59,71,68,44,49,26," + std::to_string(tgi) +
           ",95,7,115,187," + std::to_string(tgiu) + "," + std::to_string(tgiw) + "," + std::to_string(tgig) +
           "," + std::to_string(tgil) + ",0";
}

inline std::string kmLine(int from, int to) {
    return "60," + std::to_string(from) + "," + std::to_string(to) + ",";
}

// "95" line with the run date at positions 6 to 11, "91" line with the section at 15 to 44.
inline std::string headerLines(const std::string& date, const std::string& section = "NAGPUR - WARDHA UP") {
    std::string sectionField = section;
    sectionField.resize(30, ' ');
    return "95,1," + date + ",0815,TRC\r\n91,0034,NR,KM," + sectionField + ",END\r\n";
}

// A run over `kms` kilometres from `startKm` in `direction`, five blocks each, TGI = base + km offset
// * 10 + block (so every value tells where it came from).
inline std::string simpleRun(const std::string& date, int startKm, int kms, int direction, int base = 0) {
    std::string text = headerLines(date);
    for (int i = 0; i < kms; ++i) {
        const int km = startKm + i * direction;
        text += kmLine(km, km + direction) + "\r\n";
        for (int block = 1; block <= 5; ++block) {
            text += blockLine(block, base + i * 10 + block) + "\r\n";
        }
    }
    return text;
}

// A build request over run files in `folder`, database and scratch file there too.
inline comparator::BuildRequest buildRequestIn(const TempFolder& folder, const std::vector<std::string>& runs,
                                               const std::string& parameter = "TGI") {
    comparator::BuildRequest request;
    for (std::size_t k = 0; k < runs.size(); ++k) {
        request.slotPaths[k] = folder.file("run" + std::to_string(k) + ".run");
        writeFile(request.slotPaths[k], runs[k]);
    }
    request.olderRuns = static_cast<std::int16_t>(runs.size() - 1);
    request.parameter = parameter;
    request.databaseBase = folder.file("trcdbase");
    request.scratchPath = folder.file("temp_1.txt");
    return request;
}

} // namespace kestrana::test
