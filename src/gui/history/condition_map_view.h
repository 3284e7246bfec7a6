#pragma once
// The condition map: km along the horizontal axis, one row per run in date order, each block a cell
// coloured by the quality band of its value. The wheel and the + and - keys zoom along the km axis,
// dragging pans, the arrow keys move the selected cell (the view follows it), hovering shows the
// cell's km, block, date and value, and a click on a cell (or Enter on the selected one) opens the
// block.

#include <QColor>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace kestrana::history {
struct ConditionMap;
enum class ValueBand : std::uint8_t;
} // namespace kestrana::history

namespace kestrana::gui::history {

namespace core = kestrana::history;

// The colour of a band on the map and in its legend.
QColor bandColour(core::ValueBand band);

struct MapCell {
    std::size_t row = 0;
    std::size_t column = 0;
    bool operator==(const MapCell&) const = default;
};

class ConditionMapView : public QWidget {
    Q_OBJECT
public:
    explicit ConditionMapView(QWidget* parent = nullptr);

    // Shows a map from its first column, zoomed to fit the width.
    void setMap(std::shared_ptr<const core::ConditionMap> map);
    // Withdraws the map; the view shows `note` instead.
    void clear(const QString& note = QString());
    const core::ConditionMap* map() const { return map_.get(); }

    // Pixels per block column (zoom) and the left edge's offset into the columns, in pixels.
    double columnWidth() const { return columnWidth_; }
    void setColumnWidth(double pixels, double anchorX);
    void zoomIn();
    void zoomOut();
    void panBy(double dx, double dy);

    std::optional<MapCell> cellAt(const QPoint& position) const;
    // Where a cell stands in the widget.
    QRectF cellRect(const MapCell& cell) const;
    std::optional<MapCell> selectedCell() const { return selected_; }
    void selectCell(const MapCell& cell);
    // What hovering over the point shows; empty outside the cells.
    QString descriptionAt(const QPoint& position) const;

    // Draws the map as the widget shows it (also for the benchmark).
    void paintMap(QPainter& painter) const;

    QSize sizeHint() const override { return {800, 320}; }

signals:
    // A cell was clicked, or Enter was pressed on the selected cell.
    void cellActivated(std::size_t row, std::size_t column);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect plotArea() const;
    double rowHeight() const;
    double contentWidth() const;
    double contentHeight() const;
    void clampOffsets();
    void keepVisible(const MapCell& cell);
    void paintAxes(QPainter& painter, const QRect& plot) const;

    std::shared_ptr<const core::ConditionMap> map_;
    QString note_;
    double columnWidth_ = 4.0;
    double offsetX_ = 0.0; // pixels of the columns left of the plot's left edge
    double offsetY_ = 0.0; // pixels of the rows above the plot's top edge
    std::optional<MapCell> selected_;
    QPoint pressPosition_;
    QPoint lastDragPosition_;
    bool dragging_ = false;
};

} // namespace kestrana::gui::history
