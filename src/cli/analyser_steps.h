// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The analyser's operations as the commands run them one after another: PROCESS DATA first, then
// PROCESS INFORMATION over the typed range. A failure or refusal leaves as a common::Error with the
// screen's message, so every command reports it the same way.

#include "command.h"
#include "core/analyser/messages.h"
#include "core/analyser/processing.h"
#include "core/analyser/quality.h"
#include "core/common/errors.h"

#include <exception>
#include <optional>
#include <string>

namespace kestrana::cli::analyser_steps {

// PROCESS DATA, writing the SD output file only when a path is given.
inline analyser::ProcessedRun processRun(const std::string& runPath,
                                         const std::optional<std::string>& outputPath = std::nullopt) {
    try {
        return analyser::processData(runPath, outputPath);
    } catch (const common::Error& error) {
        throw error.withMessage(analyser::kProcessFailedMessage);
    } catch (const std::exception& error) {
        throw common::Error::refused(analyser::kProcessFailedMessage, error.what());
    }
}

// PROCESS INFORMATION with "Starting KM" and "Ending KM" from --from and --to, which default to what
// PROCESS DATA puts in the two boxes.
inline analyser::QualityResult processInformation(const analyser::ProcessedRun& run, const Arguments& args) {
    return analyser::processInformation(run.table, args.valueOr("from", run.kmFrom),
                                        args.valueOr("to", run.kmTo));
}

} // namespace kestrana::cli::analyser_steps
