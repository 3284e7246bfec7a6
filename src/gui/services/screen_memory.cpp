// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/services/screen_memory.h"

#include "gui/services/settings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QToolButton>
#include <QWidget>

namespace kestrana::gui::services {

namespace {

QString keyOf(const QWidget* screen, const QString& what) {
    return screen->objectName() + QLatin1Char('/') + what;
}

// Keeps the screen's place and its controls' values when the screen closes. It belongs to the screen,
// so it goes with it.
class ScreenMemory : public QObject {
public:
    ScreenMemory(QWidget* screen, const std::vector<QLineEdit*>& boxes,
                 const std::vector<QComboBox*>& choices)
        : QObject(screen), screen_(screen) {
        for (QLineEdit* box : boxes)
            boxes_.emplace_back(box);
        for (QComboBox* choice : choices)
            choices_.emplace_back(choice);
        restore();
        screen->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == screen_ && event->type() == QEvent::Close)
            keep();
        return QObject::eventFilter(watched, event);
    }

private:
    void restore() {
        const QByteArray place = storedValue(keyOf(screen_, QStringLiteral("geometry"))).toByteArray();
        if (!place.isEmpty())
            screen_->restoreGeometry(place);
        for (QLineEdit* box : boxes_) {
            const QVariant text = storedValue(keyOf(screen_, box->objectName()));
            if (text.isValid())
                box->setText(text.toString());
        }
        // A choice kept by its text: a choice no longer offered leaves the design's.
        for (QComboBox* choice : choices_) {
            const int kept = choice->findText(storedText(keyOf(screen_, choice->objectName())));
            if (kept >= 0)
                choice->setCurrentIndex(kept);
        }
    }

    void keep() {
        storeValue(keyOf(screen_, QStringLiteral("geometry")), screen_->saveGeometry());
        for (const QPointer<QLineEdit>& box : boxes_)
            if (!box.isNull())
                storeText(keyOf(screen_, box->objectName()), box->text());
        for (const QPointer<QComboBox>& choice : choices_)
            if (!choice.isNull())
                storeText(keyOf(screen_, choice->objectName()), choice->currentText());
    }

    QWidget* screen_;
    std::vector<QPointer<QLineEdit>> boxes_;
    std::vector<QPointer<QComboBox>> choices_;
};

} // namespace

void rememberScreen(QWidget* screen, const std::vector<QLineEdit*>& boxes,
                    const std::vector<QComboBox*>& choices) {
    new ScreenMemory(screen, boxes, choices);
}

QToolButton* makeRecentFilesButton(QWidget* screen, QLineEdit* box, const QString& name) {
    auto* button = new QToolButton(screen);
    button->setObjectName(name);
    button->setText(QCoreApplication::translate("RecentFiles", "Recent"));
    button->setAccessibleName(QCoreApplication::translate("RecentFiles", "Recent run files"));
    button->setToolTip(button->accessibleName());
    button->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(button);
    menu->setObjectName(name + QStringLiteral("Menu"));
    button->setMenu(menu);
    QObject::connect(menu, &QMenu::aboutToShow, button, [screen, box, menu] {
        menu->clear();
        const QStringList files = recentFiles(screen->objectName());
        for (const QString& file : files)
            QObject::connect(menu->addAction(file), &QAction::triggered, box,
                             [box, file] { box->setText(file); });
        if (files.isEmpty())
            menu->addAction(QCoreApplication::translate("RecentFiles", "No recent files"))->setEnabled(false);
    });
    return button;
}

} // namespace kestrana::gui::services
