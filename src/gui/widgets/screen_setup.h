#pragma once
// What every working screen does the same way when it opens: fill the display, and let Enter in a
// text box run the operation that box feeds.

class QLineEdit;
class QObject;
class QPushButton;
class QTimer;
class QWidget;

namespace kestrana::gui::widgets {

// Asks for the screen maximized and sizes it to the display's available area, so that it fills the
// display also where no window manager maximizes it. (Qt drops the maximized request of a window not
// yet shown when it is resized; the size then does the work alone.)
void fillDisplay(QWidget* screen);

// Enter in `box` presses `button`, when the button is enabled at that moment.
void pressOnEnter(QLineEdit* box, QPushButton* button);

// A screen's timer (not started), named as designed so tests can find it.
QTimer* designTimer(QObject* owner, const char* name, int intervalMs);

} // namespace kestrana::gui::widgets
