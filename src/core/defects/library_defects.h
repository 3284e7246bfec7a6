// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Defect tracking over a run library: the runs of one series read run by run in run order, only one
// run's peaks held at a time, and the TGI of a defect's block read from the stored blocks.
//
// Matching always takes the whole series. A list of a km range (or one defect) needs only the peaks
// near it: a defect moves at most the tolerance from one run to the next, so over R runs its
// exceedances lie within R x T of its latest one, and exceedances further away cannot be matched to
// the defects of the range. The peaks read are those of the range widened by (R + 1) x T metres and a
// kilometre more, which gives the range's defects as the whole series does.

#include "core/defects/defect_tracking.h"
#include "core/library/run_library.h"

#include <cstdint>
#include <optional>
#include <span>

namespace kestrana::defects {

// The km range whose peaks give the defects of `kms` exactly, for a series of `runs` runs.
history::KmRange widenedRange(const history::KmRange& kms, std::size_t runs, std::int16_t tolerance);

// The defects of `series`, their blocks' TGIs from the library. `kms`: only the defects of that range
// are wanted (the peaks read are those of the widened range); `codes`: only those parameters (every
// tracked one when empty). Runs without stored peaks cover nothing. Throws library::LibraryError.
TrackedDefects trackLibraryDefects(const library::RunLibrary& library, const history::Series& series,
                                   const TrackingSettings& settings,
                                   const std::optional<history::KmRange>& kms = std::nullopt,
                                   std::span<const std::int16_t> codes = {});

} // namespace kestrana::defects
