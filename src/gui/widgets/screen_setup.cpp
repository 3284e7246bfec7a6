// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/widgets/screen_setup.h"

#include <algorithm>
#include <array>

#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

// The style sheet is compiled into this static library; its resource must be registered by hand.
static void registerStyleResource() {
    Q_INIT_RESOURCE(style);
}

namespace kestrana::gui::widgets {

namespace {

// The colours of the look, the one table the style sheet takes them from: each with its value on a
// light desktop (the design's) and on a dark one, where a text on the window's background must be
// light and a box behind a dark text dark.
struct LookColour {
    const char* name;
    const char* light;
    const char* dark;
};
constexpr std::array<LookColour, 5> kLookColours{{
    {"heading", "#123a6b", "#9cc2f2"},   // group titles, the run's section, summaries
    {"frame", "#b7c5d9", "#5a6b82"},     // group and caption frames
    {"shownBase", "#eef2f7", "#27313d"}, // boxes that only show a value
    {"peakRun", "#0b2e59", "#9cc2f2"},   // the peak analyser's processed run
    {"warning", "#b00020", "#ff8a80"},   // the wait note
}};

const QString& styleSheetTemplate() {
    static const QString sheet = [] {
        registerStyleResource();
        QFile file(QStringLiteral(":/style/kestrana.qss"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return sheet;
}

} // namespace

bool isDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QString programStyleSheet(bool dark) {
    QString sheet = styleSheetTemplate();
    for (const LookColour& colour : kLookColours)
        sheet.replace(QLatin1Char('@') + QLatin1String(colour.name) + QLatin1Char('@'),
                      QLatin1String(dark ? colour.dark : colour.light));
    return sheet;
}

QString windowTitle(const QString& windowName) {
    return kProductName + QStringLiteral(" \u2014 ") + windowName;
}

void applyStyle(QWidget* screen) {
    screen->setStyleSheet(programStyleSheet(isDarkPalette(QGuiApplication::palette())));
}

void fillDisplay(QWidget* screen) {
    screen->setWindowState(screen->windowState() | Qt::WindowMaximized);
    if (const QScreen* display = QGuiApplication::primaryScreen()) {
        const QRect area = display->availableGeometry();
        screen->resize(area.size());
        screen->move(area.topLeft());
    }
}

QWidget* scrollingPage(QWidget* screen) {
    auto* scroller = new QScrollArea(screen);
    scroller->setObjectName(QStringLiteral("pageScroller"));
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    // The page scrolls to whatever control has the focus; the scroller itself is no stop of Tab.
    scroller->setFocusPolicy(Qt::NoFocus);
    auto* page = new QWidget(scroller);
    page->setObjectName(QStringLiteral("page"));
    scroller->setWidget(page);
    // The screen's own background shows through (the menu's gradient, for one); the style sheet
    // makes the scroller and the page transparent.
    page->setAutoFillBackground(false);
    scroller->viewport()->setAutoFillBackground(false);
    auto* fill = new QVBoxLayout(screen);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(scroller);
    return page;
}

QVBoxLayout* headedPage(QWidget* screen, QWidget* titleBand, QWidget* creditLine) {
    auto* page = new QVBoxLayout(scrollingPage(screen));
    page->setContentsMargins(8, 6, 8, 6);
    page->setSpacing(4);
    page->addWidget(titleBand);
    page->addWidget(creditLine);
    return page;
}

QRect placedInside(const QSize& wanted, const QRect& area) {
    const QSize size = wanted.boundedTo(area.size());
    const QPoint centred = area.center() - QRect(QPoint(), size).center();
    return {QPoint(std::max(area.left(), centred.x()), std::max(area.top(), centred.y())), size};
}

void pressOnEnter(QLineEdit* box, QPushButton* button) {
    QObject::connect(box, &QLineEdit::returnPressed, button, [button] {
        if (button->isEnabled())
            button->click();
    });
}

namespace {
// Presses a button on Enter in the watched choice box.
class EnterPresses : public QObject {
public:
    EnterPresses(QComboBox* choice, QPushButton* button) : QObject(choice), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && button_->isEnabled()) {
                button_->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPushButton* button_;
};
} // namespace

void pressOnEnter(QComboBox* choice, QPushButton* button) {
    choice->installEventFilter(new EnterPresses(choice, button));
}

QTimer* designTimer(QObject* owner, const char* name, int intervalMs) {
    auto* timer = new QTimer(owner);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(intervalMs);
    return timer;
}

} // namespace kestrana::gui::widgets
