// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The condition map: km along the horizontal axis, one row per run in date order, each block a cell
// coloured by the quality band of its value. Ctrl+wheel and the + and - keys zoom along the km axis
// (a plain wheel scrolls the page the map stands on), dragging pans, the scroll bar moves through runs
// that do not fit, the arrow keys move the selected cell (the view follows it), hovering shows the
// cell's km, block, date and value, and a click on a cell (or Enter on the selected one) opens the
// block. Zoomed out, a pixel that stands for several blocks shows the worst of them, and hovering or
// clicking there means that block. Until the user zooms, the map keeps fitting the width.

#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QFontMetrics;
class QScrollBar;

namespace kestrana::history {
struct ConditionMap;
enum class ValueBand : std::uint8_t;
} // namespace kestrana::history

namespace kestrana::gui::history {

namespace core = kestrana::history;

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
    // Cells to mark with a small triangle in their top right corner (one flag per cell of the map, row
    // by row; empty for none): the blocks with a defect's exceedance in that run. Cleared with the map.
    void setMarks(std::vector<bool> marks);
    const std::vector<bool>& marks() const { return marks_; }

    // Pixels per block column (zoom) and the left edge's offset into the columns, in pixels.
    double columnWidth() const { return columnWidth_; }
    void setColumnWidth(double pixels, double anchorX);
    void zoomIn();
    void zoomOut();
    void panBy(double dx, double dy);

    // The cell a point stands for: where a pixel holds several blocks, the worst of them.
    std::optional<MapCell> cellAt(const QPoint& position) const;
    // Where a cell stands in the widget.
    QRectF cellRect(const MapCell& cell) const;
    std::optional<MapCell> selectedCell() const { return selected_; }
    void selectCell(const MapCell& cell);
    // What hovering over the point shows; empty outside the cells.
    QString descriptionAt(const QPoint& position) const;

    // Draws the map as the widget shows it (also for the benchmark).
    void paintMap(QPainter& painter) const;
    // The km the axis labels, left to right, as now drawn (for tests).
    std::vector<int> labelledKms() const;
    // The step between labelled km: 1, 2, 5, 10, 20, 50, ... km, the smallest that leaves room.
    int kmLabelStep() const;
    // Whether block numbers are written under the km axis (zoomed in far enough for them).
    bool showsBlockNumbers() const;
    QScrollBar* runScrollBar() const { return runScrollBar_; }

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
    void updateScrollBar();
    void fitWidth();
    std::size_t columnAtPixel(std::size_t row, double x) const;
    std::vector<std::pair<std::size_t, int>> kmLabels(const QFontMetrics& metrics) const;
    double rowHeight() const;
    double contentWidth() const;
    double contentHeight() const;
    void clampOffsets();
    void keepVisible(const MapCell& cell);
    void paintAxes(QPainter& painter, const QRect& plot) const;
    void paintMarks(QPainter& painter, std::size_t row, int top, int rowPixels, std::size_t firstColumn,
                    std::size_t endColumn) const;

    std::shared_ptr<const core::ConditionMap> map_;
    std::vector<bool> marks_;
    QString note_;
    double columnWidth_ = 4.0;
    double offsetX_ = 0.0; // pixels of the columns left of the plot's left edge
    double offsetY_ = 0.0; // pixels of the rows above the plot's top edge
    std::optional<MapCell> selected_;
    QPoint pressPosition_;
    QPoint lastDragPosition_;
    bool dragging_ = false;
    bool fitted_ = true; // the columns fill the width; true until the user zooms
    QScrollBar* runScrollBar_ = nullptr;
};

} // namespace kestrana::gui::history
