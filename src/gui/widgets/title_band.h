#pragma once
// The title band at the top of a working screen: a band with the screen's title moving through it
// from right to left, 5 twips a tick, coming back in at the band's right end once it has left at the
// left edge. Positions are kept in twips as the design gives them (kTwipsPerPixel to a pixel), so the
// title moves one whole pixel every third tick.

#include <QLabel>

#include <functional>

namespace kestrana::gui::widgets {

// Twips per screen pixel: the designs give positions and sizes in twips, 1440 to an inch.
inline constexpr int kTwipsPerPixel = 15;

class TitleBand : public QLabel {
    Q_OBJECT
public:
    // Where the title's left edge starts, in twips, from the band's and the title's widths in twips.
    using StartPosition = std::function<int(int bandTwips, int titleTwips)>;

    TitleBand(const QString& title, StartPosition start, QWidget* parent);

    // The title moving through the band.
    QLabel* title() const { return title_; }
    // One tick of the title's timer: places the title on the first tick, then moves it 5 twips left.
    void scroll();
    // The title's left edge inside the band, in twips.
    int titleLeftTwips() const { return titleLeftTwips_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeTitle();

    QLabel* title_ = nullptr;
    StartPosition start_;
    int titleLeftTwips_ = 0;
    bool titlePlaced_ = false;
};

} // namespace kestrana::gui::widgets
