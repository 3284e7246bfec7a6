// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The sample library the first start puts beside the bundled history samples (sampleLibraryPath()),
// a library of its own, so that the track history screen can show a line's history at once: made from
// those runs, and never put over a library that is already there.

#include <string>
#include <vector>

namespace kestrana::library {

enum class SampleLibraryOutcome { Created, AlreadyThere };

// Imports `runFiles` into a new library built beside `libraryPath` and moves it into place only when
// nothing stands at `libraryPath` then (not even a link), so that a library made meanwhile by another
// program is kept. Throws common::Error when the library cannot be made or a sample run is
// refused (nothing is left behind then).
SampleLibraryOutcome installSampleLibrary(const std::string& libraryPath,
                                          const std::vector<std::string>& runFiles);

} // namespace kestrana::library
