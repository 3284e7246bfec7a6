// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/common/home_lock.h"

#include "core/common/paths.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace kestrana::common {

namespace {

std::atomic<long long> waitLimitMs{5000};

// The folders this thread holds the lock of, with how many holders each: flock locks belong to an
// open file, so a second open on the same thread would wait for the first forever.
thread_local std::map<std::string, int> heldByThisThread;

} // namespace

std::string homeBusyMessage(const std::string& folder) {
    return "Another Kestrana is using " + folder + ". Please try again when it has finished.";
}

std::chrono::milliseconds HomeFolderLock::waitLimit() {
    return std::chrono::milliseconds(waitLimitMs.load());
}

void HomeFolderLock::setWaitLimit(std::chrono::milliseconds limit) {
    waitLimitMs.store(limit.count());
}

HomeFolderLock::HomeFolderLock(const std::string& folder) : folder_(folder) {
    if (auto held = heldByThisThread.find(folder_); held != heldByThisThread.end()) {
        ++held->second;
        nested_ = true;
        return;
    }
    fd_ = ::open(joinPath(folder_, ".kestrana.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + waitLimit();
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            // A file system without locks: nothing better can be done than to go on unlocked.
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd_);
            fd_ = -1;
            throw Error::refused(homeBusyMessage(folder_));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    heldByThisThread[folder_] = 1;
}

HomeFolderLock::~HomeFolderLock() {
    if (nested_) {
        --heldByThisThread[folder_];
        return;
    }
    if (fd_ >= 0) {
        heldByThisThread.erase(folder_);
        ::close(fd_); // lets go of the lock
    }
}

} // namespace kestrana::common
