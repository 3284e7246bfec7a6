// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/history/background_task.h"

#include <QMetaObject>
#include <QThread>

#include <utility>

namespace kestrana::gui::history {

BackgroundTask::BackgroundTask(QObject* parent) : QObject(parent) {}

BackgroundTask::~BackgroundTask() {
    requestStop();
    waitForEnd();
}

bool BackgroundTask::start(Work work) {
    if (running())
        return false;
    waitForEnd();
    stopRequested_ = false;
    thread_ = QThread::create([this, work = std::move(work)] {
        work(stopRequested_);
        // Queued after everything the work posted, so `finished` comes last.
        post([this] { emit finished(); });
    });
    thread_->start();
    return true;
}

void BackgroundTask::post(std::function<void()> onScreen) {
    QMetaObject::invokeMethod(this, std::move(onScreen), Qt::QueuedConnection);
}

bool BackgroundTask::running() const {
    return thread_ != nullptr && thread_->isRunning();
}

void BackgroundTask::waitForEnd() {
    if (thread_ == nullptr)
        return;
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}

} // namespace kestrana::gui::history
