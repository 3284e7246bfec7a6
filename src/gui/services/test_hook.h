// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The test hook every service keeps: answers a test queued for the dialogs to come, and a record of
// every dialog (or job) the service showed, in order. A hook registers itself when it is made, so
// resetServices() (test_mode.h) clears every hook there is before each test. A service keeps one
// hook in a function-local static, takes the oldest queued answer with takeNext() before it would
// ask the user, and record()s what it showed.

#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace kestrana::gui::services {

// A hook that records only: nothing can be queued for it.
struct NoAnswer {};

// Registers a clean-up that resetServices() runs (hooks do this themselves; a service with other
// test state, such as a faked display, registers its own).
void onServicesReset(std::function<void()> clear);

template <typename Answer, typename Shown> class TestHook {
public:
    TestHook() {
        onServicesReset([this] { clear(); });
    }
    TestHook(const TestHook&) = delete;
    TestHook& operator=(const TestHook&) = delete;

    void queue(Answer answer) { queued_.push_back(std::move(answer)); }

    // The oldest queued answer, taken off the queue; nullopt when nothing is queued.
    std::optional<Answer> takeNext() {
        std::optional<Answer> next;
        if (!queued_.empty()) {
            next.emplace(std::move(queued_.front()));
            queued_.pop_front();
        }
        return next;
    }

    void record(Shown shown) { shown_.push_back(std::move(shown)); }
    const std::vector<Shown>& shown() const { return shown_; }

    void clear() {
        queued_.clear();
        shown_.clear();
    }

private:
    std::deque<Answer> queued_;
    std::vector<Shown> shown_;
};

} // namespace kestrana::gui::services
