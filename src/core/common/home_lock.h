// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The lock over the shared files of a home folder. Two programs using one home folder (two windows,
// or a window and a script) share its scratch files and databases; each operation that writes or
// reads them holds this lock, so one never reads what the other is half-way through writing.

#include "core/common/errors.h"

#include <chrono>
#include <string>

namespace kestrana::common {

// "Another Kestrana is using <folder>. Please try again when it has finished."
std::string homeBusyMessage(const std::string& folder);

// An advisory lock (flock) on "<folder>/.kestrana.lock", held for the object's lifetime. Waits up to
// waitLimit() for another holder to let go, then throws common::Error with the message
// homeBusyMessage(folder) (the operation's own message, since it says what to do). Taking it again on the
// same thread while held (an operation calling another) does not wait for itself. A folder where the lock
// file cannot be made (missing or read-only) is used without a lock: nothing can be written there.
class HomeFolderLock {
public:
    explicit HomeFolderLock(const std::string& folder);
    ~HomeFolderLock();
    HomeFolderLock(const HomeFolderLock&) = delete;
    HomeFolderLock& operator=(const HomeFolderLock&) = delete;

    // How long a second program waits before it is told; a few seconds, longer than any one
    // operation on a run of usual size.
    static std::chrono::milliseconds waitLimit();
    static void setWaitLimit(std::chrono::milliseconds limit);

private:
    std::string folder_;
    int fd_ = -1;
    bool nested_ = false;
};

} // namespace kestrana::common
