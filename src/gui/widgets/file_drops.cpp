// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/widgets/file_drops.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace kestrana::gui::widgets {

QStringList droppedPaths(const QMimeData* data) {
    QStringList paths;
    if (data == nullptr || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        paths << QDir::toNativeSeparators(url.toLocalFile());
    }
    return paths;
}

namespace {

class FileDrops : public QObject {
public:
    FileDrops(QWidget* screen, int maxFiles, std::function<void(const QStringList&)> take)
        : QObject(screen), maxFiles_(maxFiles), take_(std::move(take)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!acceptable(droppedPaths(drag->mimeData())))
                return QObject::eventFilter(watched, event);
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList paths = droppedPaths(drop->mimeData());
            if (!acceptable(paths))
                return QObject::eventFilter(watched, event);
            drop->acceptProposedAction();
            take_(paths);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    bool acceptable(const QStringList& paths) const {
        return !paths.isEmpty() && (maxFiles_ == 0 || paths.size() <= maxFiles_);
    }

    int maxFiles_;
    std::function<void(const QStringList&)> take_;
};

} // namespace

void acceptFileDrops(QWidget* screen, int maxFiles, std::function<void(const QStringList&)> take) {
    auto* drops = new FileDrops(screen, maxFiles, std::move(take));
    screen->setAcceptDrops(true);
    screen->installEventFilter(drops);
    for (QLineEdit* box : screen->findChildren<QLineEdit*>())
        box->installEventFilter(drops);
}

} // namespace kestrana::gui::widgets
