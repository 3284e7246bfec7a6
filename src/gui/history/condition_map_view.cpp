// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/history/condition_map_view.h"

#include "core/history/condition_map.h"

#include "core/history/dates.h"
#include "gui/widgets/band_colours.h"
#include "gui/widgets/qt_text.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace kestrana::gui::history {

namespace {

using widgets::bandColour;
using widgets::fromCore;

constexpr int kRowLabelWidth = 84; // room for "2025-03-12" left of the rows
constexpr int kKmAxisHeight = 34;  // room for the km labels above the columns, block numbers below them
constexpr int kBlockLabelTop = 19; // where the block numbers' row begins in the axis
constexpr double kMinRowHeight = 6.0;
constexpr double kMaxRowHeight = 40.0;
constexpr double kMinColumnWidth = 0.05;
constexpr double kMaxColumnWidth = 60.0;
constexpr double kZoomStep = 1.5;
constexpr int kDragThreshold = 4; // pixels a press may move and still count as a click
constexpr int kMinKmLabelSpacing = 44;
constexpr int kMinBlockLabelWidth = 14; // a column this wide has room for its block number

} // namespace

ConditionMapView::ConditionMapView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("conditionMap"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(240, 120);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    runScrollBar_ = new QScrollBar(Qt::Vertical, this);
    runScrollBar_->setObjectName(QStringLiteral("runScrollBar"));
    runScrollBar_->setAccessibleName(tr("Runs of the condition map"));
    runScrollBar_->setFocusPolicy(Qt::NoFocus);
    runScrollBar_->hide();
    connect(runScrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        offsetY_ = value;
        clampOffsets();
        update();
    });
}

void ConditionMapView::setMap(std::shared_ptr<const core::ConditionMap> map) {
    map_ = std::move(map);
    marks_.clear();
    note_.clear();
    selected_.reset();
    offsetX_ = 0.0;
    offsetY_ = 0.0;
    if (map_ && !map_->rows.empty() && !map_->columns.empty())
        selected_ = MapCell{0, 0};
    updateScrollBar();
    fitWidth();
}

void ConditionMapView::clear(const QString& note) {
    map_.reset();
    marks_.clear();
    note_ = note;
    selected_.reset();
    updateScrollBar();
    update();
}

// The columns fill the plot's width (within the zoom limits).
void ConditionMapView::fitWidth() {
    fitted_ = true;
    const double columns = map_ ? static_cast<double>(map_->columns.size()) : 0.0;
    columnWidth_ =
        columns > 0 ? std::clamp(plotArea().width() / columns, kMinColumnWidth, kMaxColumnWidth) : 4.0;
    clampOffsets();
    update();
}

QRect ConditionMapView::plotArea() const {
    const int scrollBar = runScrollBar_->isVisible() ? runScrollBar_->sizeHint().width() : 0;
    return rect().adjusted(kRowLabelWidth, kKmAxisHeight, -1 - scrollBar, -1);
}

// The scroll bar stands right of the rows when they do not all fit, and moves through them.
void ConditionMapView::updateScrollBar() {
    const bool needed =
        map_ && !map_->rows.empty() &&
        rowHeight() * static_cast<double>(map_->rows.size()) > rect().height() - kKmAxisHeight - 1 + 0.5;
    runScrollBar_->setVisible(needed);
    if (!needed) {
        offsetY_ = 0.0;
        return;
    }
    const QRect plot = plotArea();
    const int width = runScrollBar_->sizeHint().width();
    runScrollBar_->setGeometry(rect().right() - width + 1, plot.top(), width, plot.height() + 1);
    const QSignalBlocker quiet(runScrollBar_);
    runScrollBar_->setRange(0, static_cast<int>(std::ceil(std::max(0.0, contentHeight() - plot.height()))));
    runScrollBar_->setPageStep(plot.height());
    runScrollBar_->setSingleStep(static_cast<int>(std::ceil(rowHeight())));
    runScrollBar_->setValue(static_cast<int>(offsetY_));
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
    if (runScrollBar_->isVisible() && runScrollBar_->value() != static_cast<int>(offsetY_)) {
        const QSignalBlocker quiet(runScrollBar_);
        runScrollBar_->setValue(static_cast<int>(offsetY_));
    }
}

void ConditionMapView::setColumnWidth(double pixels, double anchorX) {
    if (!map_)
        return;
    // The column under the anchor stays under it.
    const double anchorColumn = (anchorX - plotArea().left() + offsetX_) / columnWidth_;
    columnWidth_ = std::clamp(pixels, kMinColumnWidth, kMaxColumnWidth);
    fitted_ = false;
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
    const auto row = static_cast<std::size_t>(y / rowHeight());
    return MapCell{row, columnAtPixel(row, std::floor(position.x() - plot.left()))};
}

// The column a pixel of the plot shows in a row: the worst of the columns it covers.
std::size_t ConditionMapView::columnAtPixel(std::size_t row, double x) const {
    const std::size_t columns = map_->columns.size();
    const auto first =
        std::min(columns - 1, static_cast<std::size_t>(std::max(0.0, (x + offsetX_) / columnWidth_)));
    if (columnWidth_ >= 1.0)
        return first;
    const auto end =
        std::min(columns, static_cast<std::size_t>(std::ceil((x + 1 + offsetX_) / columnWidth_)));
    return core::worstColumn(*map_, row, first, std::max(end, first + 1));
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

void ConditionMapView::setMarks(std::vector<bool> marks) {
    marks_ = std::move(marks);
    update();
}

// A small dark triangle in the top right corner of each marked cell of the row, at least 3 pixels wide
// so that it shows when zoomed out (where a pixel holds several cells, any marked one marks it).
void ConditionMapView::paintMarks(QPainter& painter, std::size_t row, int top, int rowPixels,
                                  std::size_t firstColumn, std::size_t endColumn) const {
    const std::size_t columns = map_->columns.size();
    if (marks_.size() != map_->cells.size())
        return;
    const QRect plot = plotArea();
    const int size = std::clamp(static_cast<int>(columnWidth_ / 2), 3, std::max(3, rowPixels / 2));
    // Dark with a light edge, so that it shows on every band's colour.
    painter.setPen(QPen(QColor(250, 250, 250), 1));
    painter.setBrush(QColor(20, 20, 20));
    int lastRight = -1;
    const std::size_t first = columnWidth_ < 1.0 ? 0 : firstColumn;
    const std::size_t end = columnWidth_ < 1.0 ? columns : endColumn;
    for (std::size_t column = first; column < end; ++column) {
        if (!marks_[row * columns + column])
            continue;
        const int right = static_cast<int>(std::floor(plot.left() + (column + 1) * columnWidth_ - offsetX_));
        if (right == lastRight || right < plot.left())
            continue;
        lastRight = right;
        const QPointF corner[3] = {QPointF(right - size, top), QPointF(right, top),
                                   QPointF(right, top + size)};
        painter.drawPolygon(corner, 3);
    }
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
        // Neighbouring cells of one colour are filled as one rectangle. Zoomed out, a pixel holds
        // several columns and shows the worst of them.
        int runStart = 0;
        int runEnd = 0;
        core::ValueBand runBand = core::ValueBand::Absent;
        bool inRun = false;
        const auto flush = [&] {
            if (inRun)
                painter.fillRect(runStart, top, runEnd - runStart, rowPixels, bandColour(runBand));
        };
        const auto extend = [&](int left, int right, core::ValueBand band) {
            if (inRun && band == runBand && left <= runEnd && columnWidth_ < 8) {
                runEnd = right;
                return;
            }
            flush();
            runStart = left;
            runEnd = columnWidth_ >= 8 ? right - 1 : right; // wide cells keep a gap between them
            runBand = band;
            inRun = true;
        };
        if (columnWidth_ < 1.0) {
            const int width =
                static_cast<int>(std::min<double>(plot.width(), contentWidth() - offsetX_ + 1.0));
            for (int x = 0; x < width; ++x) {
                const std::size_t column = columnAtPixel(row, x);
                extend(plot.left() + x, plot.left() + x + 1, map_->cells[row * columns + column].band);
            }
        } else {
            for (std::size_t column = firstColumn; column < endColumn; ++column) {
                const int left = static_cast<int>(std::floor(plot.left() + column * columnWidth_ - offsetX_));
                const int right =
                    static_cast<int>(std::floor(plot.left() + (column + 1) * columnWidth_ - offsetX_));
                extend(left, right, map_->cells[row * columns + column].band);
            }
        }
        flush();
        paintMarks(painter, row, top, rowPixels, firstColumn, endColumn);
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

// The run dates left of the rows, the km above the columns on round numbers, and, zoomed in far
// enough, the block numbers under them.
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
        if (label.center().y() >= plot.top())
            painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter,
                             fromCore(core::isoDate(map_->rows[row].day)));
    }
    const int kmBaseline = kBlockLabelTop - 5;
    for (const auto& [column, km] : kmLabels(metrics)) {
        const double left = plot.left() + column * columnWidth_ - offsetX_;
        painter.drawLine(QPointF(left, plot.top() - 4), QPointF(left, plot.top() - 1));
        painter.drawText(QPointF(left + 2, kmBaseline), QString::number(km));
    }
    if (!showsBlockNumbers())
        return;
    const std::size_t endColumn = std::min(
        map_->columns.size(), static_cast<std::size_t>((offsetX_ + plot.width()) / columnWidth_) + 1);
    painter.save();
    painter.setClipRect(QRect(plot.left(), 0, plot.width(), plot.top()));
    for (std::size_t column = static_cast<std::size_t>(offsetX_ / columnWidth_); column < endColumn;
         ++column) {
        const QRectF cell(plot.left() + column * columnWidth_ - offsetX_, kBlockLabelTop, columnWidth_,
                          kKmAxisHeight - kBlockLabelTop - 4);
        painter.drawText(cell, Qt::AlignCenter, QString::number(map_->columns[column].block));
    }
    painter.restore();
}

int ConditionMapView::kmLabelStep() const {
    if (!map_ || map_->columns.empty())
        return 1;
    const int first = map_->columns.front().km;
    const int last = map_->columns.back().km;
    const double kms = std::abs(last - first) + 1.0;
    const double pixelsPerKm = contentWidth() / kms;
    for (int scale = 1;; scale *= 10) {
        for (int step : {1, 2, 5}) {
            if (step * scale * pixelsPerKm >= kMinKmLabelSpacing || step * scale >= 100000)
                return step * scale;
        }
    }
}

bool ConditionMapView::showsBlockNumbers() const {
    return map_ && columnWidth_ >= kMinBlockLabelWidth;
}

// The km labelled above the columns: where a km on a multiple of the step begins, leaving room
// between labels.
std::vector<std::pair<std::size_t, int>> ConditionMapView::kmLabels(const QFontMetrics& metrics) const {
    std::vector<std::pair<std::size_t, int>> labels;
    if (!map_)
        return labels;
    const QRect plot = plotArea();
    const int step = kmLabelStep();
    const std::size_t columns = map_->columns.size();
    double lastLabelRight = -1e9;
    for (std::size_t column = static_cast<std::size_t>(offsetX_ / columnWidth_); column < columns; ++column) {
        const double left = plot.left() + column * columnWidth_ - offsetX_;
        if (left > plot.right())
            break;
        const int km = map_->columns[column].km;
        const bool kmBegins = column == 0 || map_->columns[column - 1].km != km;
        if (!kmBegins || km % step != 0 || left < plot.left() || left < lastLabelRight + 6)
            continue;
        labels.emplace_back(column, km);
        lastLabelRight = left + metrics.horizontalAdvance(QString::number(km)) + 4;
    }
    return labels;
}

std::vector<int> ConditionMapView::labelledKms() const {
    std::vector<int> kms;
    for (const auto& label : kmLabels(QFontMetrics(font())))
        kms.push_back(label.second);
    return kms;
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
    updateScrollBar();
    if (fitted_)
        fitWidth();
    clampOffsets();
}

// Ctrl+wheel zooms; a plain wheel is left to the page the map stands on, so that the page scrolls.
void ConditionMapView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (!(event->modifiers() & Qt::ControlModifier) || steps == 0 || !map_) {
        event->ignore();
        return;
    }
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
