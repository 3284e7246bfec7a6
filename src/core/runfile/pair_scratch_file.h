// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// A pair scratch file written as the pairs come, one line per pair (the kilometre line, blanks to the
// next 14-character print zone, the paired line, CR LF), so that it never has to be held in memory.
// It grows in a temporary file beside its place and replaces the file there only when complete.

#include <cstdio>
#include <string>
#include <string_view>

namespace kestrana::runfile {

class PairScratchFile {
public:
    // Throws common::Error: the temporary file cannot be made, the file there is read-only.
    explicit PairScratchFile(std::string path);
    // Removes the temporary file unless commit() put it in place.
    ~PairScratchFile();
    PairScratchFile(const PairScratchFile&) = delete;
    PairScratchFile& operator=(const PairScratchFile&) = delete;

    // Appends one pair's line. A failure to write shows at commit().
    void add(std::string_view kmLine, std::string_view pairLine);
    // Puts the complete file in its place. Throws common::Error.
    void commit();

private:
    void discard();
    std::string path_;
    std::string tempPath_;
    std::FILE* file_ = nullptr;
};

} // namespace kestrana::runfile
