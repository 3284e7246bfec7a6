// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/runfile/line_reader.h"

#include "core/common/errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrana::runfile {

namespace {

using common::Error;

std::string systemReason() {
    return std::strerror(errno);
}

// The first line end (CR or LF) in [from, to), or `to`. Lines are short: the library's fast search
// looks for each end within a window of the usual line length, and a plain loop takes over past it.
std::size_t findLineEnd(const char* data, std::size_t from, std::size_t to) {
    constexpr std::size_t kWindow = 256;
    const std::size_t windowEnd = std::min(to, from + kWindow);
    const void* cr = std::memchr(data + from, '\r', windowEnd - from);
    const std::size_t crAt =
        cr != nullptr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : windowEnd;
    const void* lf = std::memchr(data + from, '\n', crAt - from);
    if (lf != nullptr) {
        return static_cast<std::size_t>(static_cast<const char*>(lf) - data);
    }
    if (crAt < windowEnd) {
        return crAt;
    }
    for (std::size_t p = windowEnd; p < to; ++p) {
        if (data[p] == '\r' || data[p] == '\n') {
            return p;
        }
    }
    return to;
}

} // namespace

LineReader::LineReader(const std::string& path, std::size_t maxLineLength, std::size_t chunkSize)
    : path_(path), maxLineLength_(maxLineLength), chunkSize_(std::max<std::size_t>(chunkSize, 1)) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        throw Error("cannot open the file: " + systemReason(), path);
    }
    struct stat info {};
    const bool known = ::fstat(fd_, &info) == 0;
    const std::string reason = known ? std::string() : systemReason();
    if (!known || S_ISDIR(info.st_mode) || (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode))) {
        ::close(fd_);
        fd_ = -1;
        if (!known) {
            throw Error("cannot read the file: " + reason, path);
        }
        // A device such as /dev/zero never ends; a pipe does, so it may still be read.
        throw Error(S_ISDIR(info.st_mode) ? "cannot open the file: it is a folder"
                                          : "cannot open the file: it is not a regular file",
                    path);
    }
}

LineReader::~LineReader() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool LineReader::readMore() {
    if (atEof_) {
        return false;
    }
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (buffer_.size() < end_ + chunkSize_) {
        buffer_.resize(end_ + chunkSize_);
    }
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw Error("cannot read the file: " + systemReason(), path_);
        }
        if (got == 0) {
            atEof_ = true;
            return false;
        }
        if (observer_) {
            observer_(std::string_view(buffer_.data() + end_, static_cast<std::size_t>(got)));
        }
        end_ += static_cast<std::size_t>(got);
        return true;
    }
}

void LineReader::skipRestOfLine() {
    begin_ = end_;
    for (;;) {
        if (begin_ == end_ && !readMore()) {
            return; // the file ends inside the long line
        }
        std::size_t p = findLineEnd(buffer_.data(), begin_, end_);
        if (p == end_) {
            begin_ = end_;
            continue;
        }
        if (buffer_[p] == '\r' && p + 1 == end_) {
            // A LF may follow in the next read: keep the CR to look at it then.
            begin_ = p;
            readMore();
            p = begin_;
        }
        begin_ = p + 1;
        if (buffer_[p] == '\r' && begin_ < end_ && buffer_[begin_] == '\n') {
            ++begin_;
        }
        return;
    }
}

bool LineReader::next(Line& line) {
    std::size_t scanFrom = begin_;
    for (;;) {
        std::size_t p = findLineEnd(buffer_.data(), scanFrom, end_);
        if (p < end_ && buffer_[p] == '\r' && p + 1 == end_ && !atEof_) {
            // A CR at the end of what has been read: a LF may follow, making it one CR LF.
            const std::size_t offset = p - begin_;
            readMore();
            p = begin_ + offset;
        }
        if (p < end_) {
            const std::size_t length = p - begin_;
            std::size_t after = p + 1;
            if (buffer_[p] == '\r' && after < end_ && buffer_[after] == '\n') {
                ++after;
            }
            line.number = ++number_;
            line.tooLong = length > maxLineLength_;
            if (line.tooLong) {
                code_.assign(buffer_.data() + begin_, std::min<std::size_t>(length, 2));
                line.text = code_;
            } else {
                line.text = std::string_view(buffer_.data() + begin_, length);
            }
            begin_ = after;
            return true;
        }
        if (end_ - begin_ > maxLineLength_) {
            line.number = ++number_;
            line.tooLong = true;
            code_.assign(buffer_.data() + begin_, std::min<std::size_t>(end_ - begin_, 2));
            line.text = code_;
            skipRestOfLine();
            return true;
        }
        const std::size_t scanned = end_ - begin_;
        if (!readMore()) {
            if (begin_ == end_) {
                return false;
            }
            // The last line has no line end.
            line.number = ++number_;
            line.tooLong = false;
            line.text = std::string_view(buffer_.data() + begin_, end_ - begin_);
            begin_ = end_;
            return true;
        }
        scanFrom = begin_ + scanned;
    }
}

} // namespace kestrana::runfile
