// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Fuzz target: any bytes as a run file, through the analyser's listing, the raw-data view, the peak
// analyser and the comparator, exactly as kestrana-cli runs them. Refusals are expected; a crash, a
// leak, a hang or a sanitizer report is a finding.

#include "command.h"
#include "core/common/errors.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace kestrana;

int runCommand(const std::string& name, const std::vector<std::string>& words) {
    static auto commands = cli::allCommands();
    for (auto& command : commands) {
        if (command.name != name) {
            continue;
        }
        std::ostringstream out;
        std::ostringstream err;
        cli::Context context{out, err, fuzz::fuzzFolder()};
        try {
            return command.run(cli::parseArguments(command, words), context);
        } catch (const common::Error&) {
            return 1;
        } catch (const cli::UsageError&) {
            return 2;
        }
    }
    return 2;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string runPath = fuzz::fuzzFolder() + "/input.run";
    {
        std::ofstream file(runPath, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    runCommand("list", {runPath, "--save", fuzz::fuzzFolder() + "/details.txt"});
    runCommand("quality", {runPath});
    runCommand("block", {runPath, "--km", "100", "--block", "1"});
    runCommand("peaks", {runPath, "--from", "100", "--to", "110", "--limit", "1"});
    runCommand("compare", {runPath, runPath, "--chart"});
    return 0;
}
