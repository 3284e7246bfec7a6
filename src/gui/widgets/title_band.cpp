#include "gui/widgets/title_band.h"

#include "core/analyser/screen_state.h"

namespace kestrana::gui::widgets {

TitleBand::TitleBand(const QString& title, StartPosition start, QWidget* parent)
    : QLabel(parent), title_(new QLabel(title, this)), start_(std::move(start)) {
    setTextFormat(Qt::PlainText);
    title_->setTextFormat(Qt::PlainText);
}

void TitleBand::scroll() {
    const int bandTwips = width() * kTwipsPerPixel;
    const int titleTwips = title_->width() * kTwipsPerPixel;
    if (!titlePlaced_) {
        titleLeftTwips_ = start_(bandTwips, titleTwips);
        titlePlaced_ = true;
    }
    titleLeftTwips_ = kestrana::analyser::scrolledTitleLeft(titleLeftTwips_, titleTwips, 0, bandTwips);
    placeTitle();
}

void TitleBand::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (titlePlaced_)
        placeTitle();
}

void TitleBand::placeTitle() {
    const QPoint at(titleLeftTwips_ / kTwipsPerPixel, (height() - title_->height()) / 2);
    // Two ticks of three leave the title where it is; those cost nothing.
    if (title_->pos() != at)
        title_->move(at);
}

} // namespace kestrana::gui::widgets
