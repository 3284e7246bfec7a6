// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Work of a screen that may take long (an import, the map of a long range over many runs) runs on a
// thread of its own, so the screen keeps drawing and answering while it goes on. The work hands
// results back with post(): the function posted runs on the screen's thread, in order, and only while
// the task object lives. Destroying the task asks the work to stop and waits for it.
//
//     task->start([this, task](const std::atomic<bool>& stop) {
//         auto result = compute(stop);
//         task->post([this, result] { show(result); });
//     });

#include <QObject>

#include <atomic>
#include <functional>

class QThread;

namespace kestrana::gui::history {

class BackgroundTask : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(const std::atomic<bool>& stopRequested)>;

    explicit BackgroundTask(QObject* parent = nullptr);
    ~BackgroundTask() override;

    // Starts the work; false (and nothing started) while earlier work still runs.
    bool start(Work work);
    // From the work's thread: runs `onScreen` on the screen's thread.
    void post(std::function<void()> onScreen);

    // Asks the running work to stop at its next check.
    void requestStop() { stopRequested_ = true; }
    bool running() const;
    // Blocks until the work has ended (tests and shutdown).
    void waitForEnd();

signals:
    // On the screen's thread, after the last posted function of the work has run.
    void finished();

private:
    QThread* thread_ = nullptr;
    std::atomic<bool> stopRequested_{false};
};

} // namespace kestrana::gui::history
