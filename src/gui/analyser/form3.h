#pragma once
// The canvas `Form3`: a hidden window whose picture box `Picture1` holds the chart picture on its way
// from the clipboard to the printer during PRINT GRAPH; the analyser unloads it after printing.
//
// The picture box has the size the printed page leaves for the chart between its top at 1000 twips
// and the page's text block at 7400 twips, so a chart grabbed from a large display is scaled down to
// fit there instead of running into the figures printed under it.

#include <QPixmap>
#include <QWidget>

class QLabel;

namespace kestrana::gui::analyser {

class Form3 : public QWidget {
    Q_OBJECT
public:
    // The largest picture the page takes, in screen pixels (15 twips each): 8400 x 6300 twips.
    static constexpr int kPictureWidth = 560;
    static constexpr int kPictureHeight = 420;

    explicit Form3(QWidget* parent = nullptr);

    // Takes the picture into Picture1, scaled down (never up) to fit the picture box.
    void takePicture(const QPixmap& picture);
    QPixmap picture() const { return picture_; }

    QLabel* Picture1 = nullptr;

private:
    QPixmap picture_;
};

} // namespace kestrana::gui::analyser
