// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// A run file read line by line through one buffer of a fixed size, so that reading a run costs the
// same small amount of memory however long the file is; only a line that is longer than a buffer
// makes it grow, up to the longest line a reader takes.
//
// A line ends at CR LF, a lone CR or a lone LF; none of them is part of the line. A last line
// without a line end is still a line; an empty file has no line.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kestrana::runfile {

// The longest line a reader holds: 1 MiB. Real lines of the recording car are under 200 characters;
// the longest a valid run has been seen to carry is a kilometre line padded to 200 KB. A line past
// this bound cannot be a record of the car and is refused where it would have to be kept, so that a
// damaged file (or one that is not a run file at all) cannot make a reader take all the memory.
inline constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;

class LineReader {
public:
    struct Line {
        // The line without its end; valid until the next call of next(). A line longer than the
        // bound is given as its first two characters only (its code), with tooLong set.
        std::string_view text;
        long number = 0; // 1-based
        bool tooLong = false;
    };

    // Opens the file (a pipe may be read too). Throws common::Error, as reading a whole
    // file does: a file that cannot be opened, a folder, a device.
    explicit LineReader(const std::string& path, std::size_t maxLineLength = kMaxLineLength,
                        std::size_t chunkSize = 64 * 1024);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line; false at the end of the file. Throws common::Error when the file
    // cannot be read.
    bool next(Line& line);

    const std::string& path() const { return path_; }

    // Hands every byte read from the file to `observer`, in file order, each byte once, as it is
    // read (before the lines it holds are given out). A caller that reads every line to the end has
    // then shown the observer the whole file: the bytes it read, and no other.
    void observeBytes(std::function<void(std::string_view bytes)> observer) {
        observer_ = std::move(observer);
    }

private:
    // Reads more bytes after end_, moving the unread part to the front first. False at the end of
    // the file.
    bool readMore();
    // Drops the rest of a line that is too long, up to and including its end.
    void skipRestOfLine();

    std::string path_;
    int fd_ = -1;
    std::size_t maxLineLength_;
    std::size_t chunkSize_;
    std::string buffer_;
    std::size_t begin_ = 0; // first unread byte
    std::size_t end_ = 0;   // one past the last byte read
    bool atEof_ = false;
    long number_ = 0;
    std::string code_; // the code of a line that is too long
    std::function<void(std::string_view)> observer_;
};

} // namespace kestrana::runfile
