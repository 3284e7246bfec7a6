#pragma once
// The run comparator screen `form2`. The main menu opens it through app::Navigator::show(); its GO TO MAIN
// (`Command4`) calls app::Navigator::goToMain(this), which shows the menu and closes this screen. F1 opens
// the help (platform::installHelp). The Navigator deletes the screen when it closes, so values that
// must outlive it are kept outside the widget.

#include <QWidget>

class QPushButton;

namespace kestrana::gui::comparator {

class form2 : public QWidget {
    Q_OBJECT
public:
    explicit form2(QWidget* parent = nullptr);

    void Command4_Click(); // GO TO MAIN

    QPushButton* Command4 = nullptr;
};

} // namespace kestrana::gui::comparator
