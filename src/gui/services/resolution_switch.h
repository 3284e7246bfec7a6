// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The display-resolution switch (`ResolutionSwitch`): reads the size of the display and switches it
// to another size. On an X11 desktop the switch asks `xrandr` for the mode, and only when the
// display offers that mode switches with `xrandr -s WxH`; anywhere else (Wayland, no display server,
// the offscreen platform) a switch fails and the display is left alone.
//
//     QSize saved = services::ResolutionSwitch::displaySize();
//     if (!services::ResolutionSwitch::apply({1024, 768})) ... // failed

#include <QSize>
#include <QString>

#include <vector>

namespace kestrana::gui::services {

class ResolutionSwitch {
public:
    // The display's size in pixels (the primary screen, in device pixels).
    static QSize displaySize();
    // Switches the display to `size`; true when it switched, false when it failed.
    static bool apply(QSize size);
    // Whether a switch can be tried at all: only on X11, and only on a display that is not scaled
    // (a scaled display already shows the screens at a readable size, and xrandr would undo the
    // user's scaling). Wayland, the offscreen platform and the like answer false.
    static bool canSwitch();

    // Whether the output of `xrandr` (the query) lists a mode of exactly this size.
    static bool modeOffered(const QString& xrandrOutput, QSize size);

    // Test hooks: a faked display of this size, whose switches succeed (and change the faked size)
    // or fail, and which can be switched at all or not (Wayland, a scaled display). Every apply is
    // recorded, faked or not.
    static void fakeDisplay(QSize size, bool switchWorks, bool switchable = true);
    static const std::vector<QSize>& appliedSizes();
    static void reset();
};

} // namespace kestrana::gui::services
