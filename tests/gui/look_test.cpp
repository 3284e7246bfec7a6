// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The look on any desktop: under a dark theme as under the default one, every enabled text of every
// screen stands out from what lies behind it, and every control of every screen has a name a screen
// reader can say.
#include "gui/app/navigator.h"
#include "gui/services/resolution_switch.h"
#include "gui/widgets/screen_setup.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStyle>
#include <QTabBar>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using kestrana::gui::app::Navigator;
using kestrana::gui::app::Screen;

const std::vector<Screen> kScreens = {Screen::MainMenu, Screen::Analyser, Screen::Comparator,
                                      Screen::PeakAnalyser, Screen::TrackHistory};

// A dark desktop theme's palette, as a dark Fusion or Breeze gives it.
QPalette darkPalette() {
    QPalette dark;
    const QColor window(0x2d, 0x2d, 0x30), text(0xe8, 0xe8, 0xe8), base(0x1e, 0x1e, 0x1e);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3d));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    return dark;
}

// The contrast ratio of two colours as the web's accessibility guidelines define it (1 to 21).
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour behind a widget's text: its own background where it paints one, else the nearest
// ancestor's that does (the screen's window colour in the end). A gradient (the main menu's, a title
// band's) counts by its first colour.
QColor behind(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QBrush brush = w->palette().brush(w->backgroundRole());
        if (brush.gradient() != nullptr && !brush.gradient()->stops().isEmpty())
            return brush.gradient()->stops().front().second;
        const bool paints =
            w->autoFillBackground() || w->isWindow() || w->testAttribute(Qt::WA_StyledBackground);
        if (paints && brush.style() == Qt::SolidPattern && brush.color().alpha() == 255)
            return brush.color();
    }
    return widget->palette().color(QPalette::Window);
}

class ApplicationPalette {
public:
    explicit ApplicationPalette(const QPalette& palette) : old_(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~ApplicationPalette() { QApplication::setPalette(old_); }

private:
    QPalette old_;
};

} // namespace

TEST(Look, UnderADarkThemeAndTheDefaultEveryEnabledTextStandsOutFromItsBackground) {
    kestrana::gui::services::ResolutionSwitch::fakeDisplay({1024, 768}, false);
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "default");
        ApplicationPalette palette(dark ? darkPalette() : QApplication::style()->standardPalette());
        EXPECT_EQ(kestrana::gui::widgets::isDarkPalette(QApplication::palette()), dark);
        for (const Screen kind : kScreens) {
            QWidget* screen = Navigator::show(kind);
            // Texts over a background of the program's own (the menu's gradient, the title bands) are
            // checked against it; the rest against the desktop's window colour.
            for (QWidget* widget : screen->findChildren<QWidget*>()) {
                if (!widget->isEnabled() || !widget->isVisibleTo(screen))
                    continue;
                widget->ensurePolished();
                QColor text;
                QColor back;
                if (auto* box = qobject_cast<QLineEdit*>(widget)) {
                    text = box->palette().color(QPalette::Text);
                    back = box->palette().color(QPalette::Base);
                } else if (auto* label = qobject_cast<QLabel*>(widget)) {
                    if (label->text().isEmpty())
                        continue;
                    text = label->palette().color(QPalette::WindowText);
                    back = behind(label);
                } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                    text = group->palette().color(QPalette::WindowText);
                    back = behind(group->parentWidget());
                } else {
                    continue;
                }
                EXPECT_GE(contrast(text, back), 3.0)
                    << screen->objectName().toStdString() << " " << widget->metaObject()->className() << " "
                    << widget->objectName().toStdString() << ": " << text.name().toStdString() << " on "
                    << back.name().toStdString();
            }
        }
        Navigator::closeAll();
    }
    // The dark look is the light look with other colours only: the same rules, every colour filled in.
    const QString light = kestrana::gui::widgets::programStyleSheet(false);
    const QString darkSheet = kestrana::gui::widgets::programStyleSheet(true);
    EXPECT_FALSE(light.contains(QLatin1Char('@')));
    EXPECT_FALSE(darkSheet.contains(QLatin1Char('@')));
    EXPECT_NE(light, darkSheet);
    EXPECT_EQ(light.count(QLatin1Char('{')), darkSheet.count(QLatin1Char('{')));
}

TEST(Look, EveryControlOfEveryScreenHasANameForScreenReaders) {
    kestrana::gui::services::ResolutionSwitch::fakeDisplay({1024, 768}, false);
    for (const Screen kind : kScreens) {
        QWidget* screen = Navigator::show(kind);
        int controls = 0;
        for (QWidget* widget : screen->findChildren<QWidget*>()) {
            const bool control =
                qobject_cast<QAbstractButton*>(widget) != nullptr ||
                qobject_cast<QLineEdit*>(widget) != nullptr || qobject_cast<QComboBox*>(widget) != nullptr ||
                qobject_cast<QAbstractItemView*>(widget) != nullptr ||
                qobject_cast<QAbstractSpinBox*>(widget) != nullptr ||
                qobject_cast<QProgressBar*>(widget) != nullptr || qobject_cast<QTabBar*>(widget) != nullptr;
            // The parts of a compound control (a choice box's own text box, a table's corner
            // button) are named by the control they belong to.
            const QWidget* owner = widget->parentWidget();
            const bool part = owner != nullptr && (qobject_cast<const QComboBox*>(owner) != nullptr ||
                                                   qobject_cast<const QAbstractSpinBox*>(owner) != nullptr ||
                                                   qobject_cast<const QAbstractItemView*>(owner) != nullptr ||
                                                   widget->objectName().startsWith(QLatin1String("qt_")));
            // A choice box's list is a window of its own, named with the box; a control hidden for good
            // is no stop of a screen reader.
            if (!control || part || widget->window() != screen || widget->isHidden())
                continue;
            ++controls;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(accessible, nullptr);
            EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty())
                << screen->objectName().toStdString() << " " << widget->metaObject()->className() << " "
                << widget->objectName().toStdString();
        }
        EXPECT_GT(controls, 4) << screen->objectName().toStdString();
    }
}
