#pragma once
// The peak analyser screen `tgi_form6`. The main menu opens it through app::Navigator::show(); its GO TO MAIN
// (`Command5`) calls app::Navigator::goToMain(this), which shows the menu and closes this screen. F1 opens
// the help (platform::installHelp). The Navigator deletes the screen when it closes, so values that
// must outlive it are kept outside the widget.

#include <QWidget>

class QPushButton;

namespace kestrana::gui::peaks {

class tgi_form6 : public QWidget {
    Q_OBJECT
public:
    explicit tgi_form6(QWidget* parent = nullptr);

    void Command5_Click(); // GO TO MAIN

    QPushButton* Command5 = nullptr;
};

} // namespace kestrana::gui::peaks
