#include "gui/history/condition_map_view.h"

#include "core/history/condition_map.h"

#include "core/history/dates.h"
#include "gui/widgets/qt_text.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace kestrana::gui::history {

namespace {

using widgets::fromCore;

constexpr int kRowLabelWidth = 84; // room for "2025-03-12" left of the rows
constexpr int kKmAxisHeight = 20;  // room for the km labels above the columns
constexpr double kMinRowHeight = 6.0;
constexpr double kMaxRowHeight = 40.0;
constexpr double kMinColumnWidth = 0.05;
constexpr double kMaxColumnWidth = 60.0;
constexpr double kZoomStep = 1.5;
constexpr int kDragThreshold = 4; // pixels a press may move and still count as a click
constexpr int kMinKmLabelSpacing = 44;

} // namespace

QColor bandColour(core::ValueBand band) {
    switch (band) {
    case core::ValueBand::Band1:
        return {0xc6, 0x28, 0x28}; // worst: red
    case core::ValueBand::Band2:
        return {0xf5, 0x9e, 0x0b}; // amber
    case core::ValueBand::Band3:
        return {0xcd, 0xdc, 0x39}; // yellow-green
    case core::ValueBand::Band4:
        return {0x2e, 0x7d, 0x32}; // best: green
    case core::ValueBand::NotRecorded:
        return {0x9e, 0x9e, 0x9e}; // grey
    case core::ValueBand::NoBand:
        return {0x6a, 0x1b, 0x9a}; // purple: a value below 0
    case core::ValueBand::Absent:
        break;
    }
    return {0xff, 0xff, 0xff}; // the run has no such block
}

ConditionMapView::ConditionMapView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("conditionMap"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(240, 120);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void ConditionMapView::setMap(std::shared_ptr<const core::ConditionMap> map) {
    map_ = std::move(map);
    note_.clear();
    selected_.reset();
    offsetX_ = 0.0;
    offsetY_ = 0.0;
    const double columns = map_ ? static_cast<double>(map_->columns.size()) : 0.0;
    columnWidth_ =
        columns > 0 ? std::clamp(plotArea().width() / columns, kMinColumnWidth, kMaxColumnWidth) : 4.0;
    if (map_ && !map_->rows.empty() && !map_->columns.empty())
        selected_ = MapCell{0, 0};
    clampOffsets();
    update();
}

void ConditionMapView::clear(const QString& note) {
    map_.reset();
    note_ = note;
    selected_.reset();
    update();
}

QRect ConditionMapView::plotArea() const {
    return rect().adjusted(kRowLabelWidth, kKmAxisHeight, -1, -1);
}

double ConditionMapView::rowHeight() const {
    if (!map_ || map_->rows.empty())
        return kMinRowHeight;
    const double fit = plotArea().height() / static_cast<double>(map_->rows.size());
    return std::clamp(fit, kMinRowHeight, kMaxRowHeight);
}

double ConditionMapView::contentWidth() const {
    return map_ ? columnWidth_ * static_cast<double>(map_->columns.size()) : 0.0;
}

double ConditionMapView::contentHeight() const {
    return map_ ? rowHeight() * static_cast<double>(map_->rows.size()) : 0.0;
}

void ConditionMapView::clampOffsets() {
    const QRect plot = plotArea();
    offsetX_ = std::clamp(offsetX_, 0.0, std::max(0.0, contentWidth() - plot.width()));
    offsetY_ = std::clamp(offsetY_, 0.0, std::max(0.0, contentHeight() - plot.height()));
}

void ConditionMapView::setColumnWidth(double pixels, double anchorX) {
    if (!map_)
        return;
    // The column under the anchor stays under it.
    const double anchorColumn = (anchorX - plotArea().left() + offsetX_) / columnWidth_;
    columnWidth_ = std::clamp(pixels, kMinColumnWidth, kMaxColumnWidth);
    offsetX_ = anchorColumn * columnWidth_ - (anchorX - plotArea().left());
    clampOffsets();
    update();
}

void ConditionMapView::zoomIn() {
    const QRectF cell = selected_ ? cellRect(*selected_) : QRectF();
    const double anchor =
        plotArea().contains(cell.center().toPoint()) ? cell.center().x() : plotArea().center().x();
    setColumnWidth(columnWidth_ * kZoomStep, anchor);
}

void ConditionMapView::zoomOut() {
    const QRectF cell = selected_ ? cellRect(*selected_) : QRectF();
    const double anchor =
        plotArea().contains(cell.center().toPoint()) ? cell.center().x() : plotArea().center().x();
    setColumnWidth(columnWidth_ / kZoomStep, anchor);
}

void ConditionMapView::panBy(double dx, double dy) {
    offsetX_ -= dx;
    offsetY_ -= dy;
    clampOffsets();
    update();
}

std::optional<MapCell> ConditionMapView::cellAt(const QPoint& position) const {
    const QRect plot = plotArea();
    if (!map_ || !plot.contains(position))
        return std::nullopt;
    const double x = position.x() - plot.left() + offsetX_;
    const double y = position.y() - plot.top() + offsetY_;
    if (x < 0 || y < 0 || x >= contentWidth() || y >= contentHeight())
        return std::nullopt;
    return MapCell{static_cast<std::size_t>(y / rowHeight()), static_cast<std::size_t>(x / columnWidth_)};
}

QRectF ConditionMapView::cellRect(const MapCell& cell) const {
    const QRect plot = plotArea();
    return {plot.left() + cell.column * columnWidth_ - offsetX_,
            plot.top() + cell.row * rowHeight() - offsetY_, columnWidth_, rowHeight()};
}

void ConditionMapView::selectCell(const MapCell& cell) {
    if (!map_ || cell.row >= map_->rows.size() || cell.column >= map_->columns.size())
        return;
    selected_ = cell;
    keepVisible(cell);
    update();
}

void ConditionMapView::keepVisible(const MapCell& cell) {
    const QRect plot = plotArea();
    const double left = cell.column * columnWidth_;
    const double top = cell.row * rowHeight();
    if (left < offsetX_)
        offsetX_ = left;
    else if (left + std::max(columnWidth_, 1.0) > offsetX_ + plot.width())
        offsetX_ = left + std::max(columnWidth_, 1.0) - plot.width();
    if (top < offsetY_)
        offsetY_ = top;
    else if (top + rowHeight() > offsetY_ + plot.height())
        offsetY_ = top + rowHeight() - plot.height();
    clampOffsets();
}

QString ConditionMapView::descriptionAt(const QPoint& position) const {
    const std::optional<MapCell> cell = cellAt(position);
    if (!cell)
        return {};
    return fromCore(core::cellDescription(*map_, cell->row, cell->column));
}

void ConditionMapView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintMap(painter);
}

void ConditionMapView::paintMap(QPainter& painter) const {
    const QRect plot = plotArea();
    if (!map_ || map_->rows.empty() || map_->columns.empty()) {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, note_);
        return;
    }
    painter.save();
    painter.setClipRect(plot);
    const double height = rowHeight();
    const std::size_t columns = map_->columns.size();
    const std::size_t firstColumn = static_cast<std::size_t>(offsetX_ / columnWidth_);
    const std::size_t endColumn =
        std::min(columns, static_cast<std::size_t>((offsetX_ + plot.width()) / columnWidth_) + 1);
    const std::size_t firstRow = static_cast<std::size_t>(offsetY_ / height);
    const std::size_t endRow =
        std::min(map_->rows.size(), static_cast<std::size_t>((offsetY_ + plot.height()) / height) + 1);
    for (std::size_t row = firstRow; row < endRow; ++row) {
        const int top = static_cast<int>(std::floor(plot.top() + row * height - offsetY_));
        const int bottom = static_cast<int>(std::floor(plot.top() + (row + 1) * height - offsetY_));
        const int rowPixels = std::max(1, bottom - top - (height >= 8 ? 1 : 0));
        // Neighbouring cells of one colour are filled as one rectangle; where a pixel holds several
        // columns it shows the first of them.
        int runStart = 0;
        int runEnd = 0;
        core::ValueBand runBand = core::ValueBand::Absent;
        bool inRun = false;
        for (std::size_t column = firstColumn; column < endColumn; ++column) {
            const int left = static_cast<int>(std::floor(plot.left() + column * columnWidth_ - offsetX_));
            int right = static_cast<int>(std::floor(plot.left() + (column + 1) * columnWidth_ - offsetX_));
            if (right <= left) {
                if (inRun && left < runEnd)
                    continue; // this pixel is taken
                right = left + 1;
            }
            const core::ValueBand band = map_->cells[row * columns + column].band;
            if (inRun && band == runBand && left <= runEnd && columnWidth_ < 8) {
                runEnd = right;
                continue;
            }
            if (inRun)
                painter.fillRect(runStart, top, runEnd - runStart, rowPixels, bandColour(runBand));
            runStart = left;
            runEnd = columnWidth_ >= 8 ? right - 1 : right; // wide cells keep a gap between them
            runBand = band;
            inRun = true;
        }
        if (inRun)
            painter.fillRect(runStart, top, runEnd - runStart, rowPixels, bandColour(runBand));
    }
    if (selected_ && hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cellRect(*selected_).adjusted(-1, -1, 1, 1));
    } else if (selected_) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(cellRect(*selected_));
    }
    painter.restore();
    paintAxes(painter, plot);
}

// The run dates left of the rows and the km above the columns where a new km begins, as many as
// there is room for.
void ConditionMapView::paintAxes(QPainter& painter, const QRect& plot) const {
    painter.setPen(palette().color(QPalette::Text));
    const QFontMetrics metrics(painter.font());
    const double height = rowHeight();
    const int labelEvery = std::max(1, static_cast<int>(std::ceil(metrics.height() / height)));
    const std::size_t firstRow = static_cast<std::size_t>(offsetY_ / height);
    for (std::size_t row = firstRow; row < map_->rows.size(); row += 1) {
        const double top = plot.top() + row * height - offsetY_;
        if (top > plot.bottom())
            break;
        if (row % static_cast<std::size_t>(labelEvery) != 0)
            continue;
        const QRectF label(2, top + height / 2 - metrics.height() / 2.0, kRowLabelWidth - 6,
                           metrics.height());
        if (label.top() >= plot.top() - 2)
            painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter,
                             fromCore(core::isoDate(map_->rows[row].day)));
    }
    const std::size_t columns = map_->columns.size();
    const std::size_t firstColumn = static_cast<std::size_t>(offsetX_ / columnWidth_);
    double lastLabelRight = -1e9;
    for (std::size_t column = firstColumn; column < columns; ++column) {
        const double left = plot.left() + column * columnWidth_ - offsetX_;
        if (left > plot.right())
            break;
        const bool kmBegins = column == 0 || map_->columns[column - 1].km != map_->columns[column].km;
        if (!kmBegins || left < plot.left() || left < lastLabelRight + 6)
            continue;
        const QString text = QString::number(map_->columns[column].km);
        painter.drawLine(QPointF(left, plot.top() - 4), QPointF(left, plot.top() - 1));
        painter.drawText(QPointF(left + 2, plot.top() - 6), text);
        lastLabelRight = left + std::max(metrics.horizontalAdvance(text) + 4, kMinKmLabelSpacing);
    }
}

bool ConditionMapView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = descriptionAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return QWidget::event(event);
}

void ConditionMapView::resizeEvent(QResizeEvent*) {
    clampOffsets();
}

void ConditionMapView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0 || !map_)
        return;
    setColumnWidth(columnWidth_ * std::pow(kZoomStep, steps), event->position().x());
    event->accept();
}

void ConditionMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressPosition_ = event->position().toPoint();
    lastDragPosition_ = pressPosition_;
    dragging_ = false;
}

void ConditionMapView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint position = event->position().toPoint();
    if (!dragging_ && (position - pressPosition_).manhattanLength() < kDragThreshold)
        return;
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    const QPoint moved = position - lastDragPosition_;
    lastDragPosition_ = position;
    panBy(moved.x(), moved.y());
}

void ConditionMapView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    unsetCursor();
    if (dragging_) {
        dragging_ = false;
        return;
    }
    if (const std::optional<MapCell> cell = cellAt(event->position().toPoint())) {
        selected_ = cell;
        update();
        emit cellActivated(cell->row, cell->column);
    }
}

void ConditionMapView::keyPressEvent(QKeyEvent* event) {
    if (!map_ || map_->rows.empty() || map_->columns.empty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    MapCell cell = selected_.value_or(MapCell{});
    const std::size_t lastRow = map_->rows.size() - 1;
    const std::size_t lastColumn = map_->columns.size() - 1;
    const std::size_t page =
        std::max<std::size_t>(1, static_cast<std::size_t>(plotArea().width() / columnWidth_));
    switch (event->key()) {
    case Qt::Key_Left:
        cell.column = cell.column > 0 ? cell.column - 1 : 0;
        break;
    case Qt::Key_Right:
        cell.column = std::min(lastColumn, cell.column + 1);
        break;
    case Qt::Key_Up:
        cell.row = cell.row > 0 ? cell.row - 1 : 0;
        break;
    case Qt::Key_Down:
        cell.row = std::min(lastRow, cell.row + 1);
        break;
    case Qt::Key_PageUp:
        cell.column = cell.column > page ? cell.column - page : 0;
        break;
    case Qt::Key_PageDown:
        cell.column = std::min(lastColumn, cell.column + page);
        break;
    case Qt::Key_Home:
        cell.column = 0;
        break;
    case Qt::Key_End:
        cell.column = lastColumn;
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomIn();
        return;
    case Qt::Key_Minus:
        zoomOut();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected_)
            emit cellActivated(selected_->row, selected_->column);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    selectCell(cell);
    // The keyboard's way to the hover text: the selected cell's description as a tooltip.
    QToolTip::showText(mapToGlobal(cellRect(cell).bottomRight().toPoint()),
                       fromCore(core::cellDescription(*map_, cell.row, cell.column)), this);
}

} // namespace kestrana::gui::history
