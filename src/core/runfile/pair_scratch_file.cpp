// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/runfile/pair_scratch_file.h"

#include "core/common/errors.h"
#include "core/common/text.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kestrana::runfile {

namespace {
std::string systemReason() {
    return std::strerror(errno);
}
} // namespace

PairScratchFile::PairScratchFile(std::string path) : path_(std::move(path)) {
    // A file that may not be written keeps its content, as with every file the program writes.
    struct stat existing {};
    if (::stat(path_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        ((existing.st_mode & 0222) == 0 || ::access(path_.c_str(), W_OK) != 0)) {
        throw common::Error("cannot replace the file: it is read-only", path_);
    }
    std::vector<char> temp(path_.begin(), path_.end());
    const std::string suffix = ".tmp-XXXXXX";
    temp.insert(temp.end(), suffix.begin(), suffix.end());
    temp.push_back('\0');
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        throw common::Error("cannot create the file: " + systemReason(), path_);
    }
    tempPath_ = temp.data();
    // mkstemp makes the file private; a scratch file gets the permissions of an ordinary new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        const std::string reason = systemReason();
        ::close(fd);
        ::unlink(tempPath_.c_str());
        throw common::Error("cannot create the file: " + reason, path_);
    }
}

PairScratchFile::~PairScratchFile() {
    discard();
}

void PairScratchFile::discard() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
        ::unlink(tempPath_.c_str());
    }
}

void PairScratchFile::add(std::string_view kmLine, std::string_view pairLine) {
    static constexpr char kBlanks[] = "              "; // one whole print zone
    std::fwrite(kmLine.data(), 1, kmLine.size(), file_);
    std::fwrite(kBlanks, 1, common::blanksToNextZone(kmLine.size()), file_);
    std::fwrite(pairLine.data(), 1, pairLine.size(), file_);
    std::fwrite("\r\n", 1, 2, file_);
}

void PairScratchFile::commit() {
    const bool written = std::ferror(file_) == 0;
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0 || !written) {
        const std::string reason = systemReason();
        ::unlink(tempPath_.c_str());
        throw common::Error("cannot write the file: " + reason, path_);
    }
    if (::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        const std::string reason = systemReason();
        ::unlink(tempPath_.c_str());
        throw common::Error("cannot replace the file: " + reason, path_);
    }
}

} // namespace kestrana::runfile
