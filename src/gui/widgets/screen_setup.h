// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// What every screen does the same way when it opens: take the program's look, fill the display
// (scrolling where the display is smaller than the screen's controls need), and let Enter in a text
// box run the operation that box feeds.

#include <QRect>
#include <QString>

class QComboBox;
class QLineEdit;
class QObject;
class QPalette;
class QPushButton;
class QTimer;
class QVBoxLayout;
class QWidget;

namespace kestrana::gui::widgets {

// The program's name: the title of every message box and the first part of every window's title.
inline const QString kProductName = QStringLiteral("Kestrana");

// The title of a window of the program, in the one form they all share: "Kestrana — NAME", an em
// dash between blanks, NAME the window's own name as its title band or its main-menu button gives it
// ("Index Analyser", "Main Menu").
QString windowTitle(const QString& windowName);

// Whether a palette is a dark theme's: its windows darker than mid-grey.
bool isDarkPalette(const QPalette& palette);

// The program's style sheet with the look's colours for a light or a dark desktop: on a light one
// the design's colours, on a dark one lighter texts and darker boxes of the same hue.
QString programStyleSheet(bool dark);

// Sets the program's style sheet (kestrana.qss, one resource for every screen) on `screen`. It is set
// on each screen rather than on the application, so a dialog of no screen keeps the desktop's look.
// Call it before the screen's controls are made, so they are sized in their styled faces. A screen
// that is styled only in part sets it on those controls alone. The colours follow the application's
// palette: light or dark (isDarkPalette).
void applyStyle(QWidget* screen);

// Asks for the screen maximized and sizes it to the display's available area, so that it fills the
// display also where no window manager maximizes it. (Qt drops the maximized request of a window not
// yet shown when it is resized; the size then does the work alone.)
// The window is placed at the available area's top-left corner, never off screen.
void fillDisplay(QWidget* screen);

// The page a screen lays its controls out on: it fills the screen and scrolls when the window is
// smaller than the controls need, so every control can be reached on a display from 800 x 600 up.
// Give the screen's layout to the page, not to the screen.
QWidget* scrollingPage(QWidget* screen);

// The scrolling page of a screen headed by its title band and credit line, for the screen's parts
// to go below them.
QVBoxLayout* headedPage(QWidget* screen, QWidget* titleBand, QWidget* creditLine);

// Where a window of `wanted` size goes in `area`: centred, cut to the area where it is larger, and
// never beyond the area's top-left corner.
QRect placedInside(const QSize& wanted, const QRect& area);

// Enter in `box` presses `button`, when the button is enabled at that moment.
void pressOnEnter(QLineEdit* box, QPushButton* button);
// The same for a choice box, while its list is closed (Enter in the open list chooses an item).
void pressOnEnter(QComboBox* choice, QPushButton* button);

// A screen's timer (not started), named as designed so tests can find it.
QTimer* designTimer(QObject* owner, const char* name, int intervalMs);

} // namespace kestrana::gui::widgets
