// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/widgets/list_box.h"

#include "gui/widgets/column_header.h"
#include "gui/widgets/qt_text.h"

#include <QApplication>
#include <QFontDatabase>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>
#include <QStringListModel>
#include <QStyledItemDelegate>

#include <algorithm>

namespace kestrana::gui::widgets {

// The entries with one alignment for all of them.
class ListBoxModel : public QStringListModel {
public:
    using QStringListModel::QStringListModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(alignment);
        return QStringListModel::data(index, role);
    }
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

namespace {

// Draws a header entry word by word over the columns of the body's first entry.
class HeaderDelegate : public QStyledItemDelegate {
public:
    HeaderDelegate(ListBox* header, ListBox* body) : QStyledItemDelegate(header), body_(body) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QString header = index.data(Qt::DisplayRole).toString();
        const QString row = body_->count() > 0 ? body_->entry(0) : QString();
        const std::vector<int> starts = headerWordStarts(header, row);
        if (starts.empty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QStyle* style = item.widget != nullptr ? item.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, item.widget);
        const QFontMetricsF metrics(item.font);
        const double advance = metrics.horizontalAdvance(QLatin1Char('0'));
        const double left = item.rect.left() + textMargin(item);
        const std::vector<TextColumn> words = columnsOf(header);
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(QPalette::Text));
        for (std::size_t i = 0; i < words.size(); ++i) {
            const QString word = header.mid(words[i].start, words[i].end - words[i].start);
            const QRectF place(left + starts[i] * advance, item.rect.top(), (word.size() + 1) * advance,
                               item.rect.height());
            painter->drawText(place, Qt::AlignLeft | Qt::AlignVCenter, word);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (body_->count() > 0) {
            const QFontMetrics metrics(body_->font());
            size.setWidth(
                std::max(size.width(), metrics.horizontalAdvance(body_->entry(0)) + 2 * textMargin(option)));
        }
        return size;
    }

private:
    // Where an item view starts an entry's text inside its cell, as the style draws it.
    static int textMargin(const QStyleOptionViewItem& option) {
        const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
        return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
    }

    ListBox* body_;
};

} // namespace

QFont listingFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(9.5);
    return font;
}

ListBox::ListBox(QWidget* parent) : QListView(parent), model_(new ListBoxModel(this)) {
    setModel(model_);
    setFont(listingFont());
    // Every entry is one line of the same height: the view then lays out a long listing without
    // measuring each entry.
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Whole entries per scroll step: the top visible entry is then the scroll bar's value.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ListBox::scrolled);
    // A pick by mouse or keyboard changes the selection; a list box that only receives the focus
    // moves its current entry without selecting it, and that is no pick.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.isEmpty())
                    emit entryClicked();
            });
}

void ListBox::setEntries(const QStringList& entries) {
    model_->setStringList(entries);
}

void ListBox::setEntries(const std::vector<std::string>& entries) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries)
        texts.append(fromCore(entry));
    setEntries(texts);
}

void ListBox::clear() {
    setEntries(QStringList());
}

int ListBox::count() const {
    return model_->rowCount();
}

QString ListBox::entry(int row) const {
    return model_->data(model_->index(row), Qt::DisplayRole).toString();
}

QStringList ListBox::entries() const {
    return model_->stringList();
}

int ListBox::topIndex() const {
    return count() == 0 ? 0 : verticalScrollBar()->value();
}

void ListBox::setTopIndex(int row) {
    // The scroll range is only known once the box has laid out its entries.
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(row);
}

int ListBox::selectedRow() const {
    const QModelIndexList picked = selectionModel()->selectedIndexes();
    return picked.isEmpty() ? -1 : picked.first().row();
}

QString ListBox::selectedEntry() const {
    const int row = selectedRow();
    return row < 0 ? QString() : entry(row);
}

void ListBox::setEntryAlignment(Qt::Alignment alignment) {
    model_->alignment = alignment;
    viewport()->update();
}

int ListBox::heightForRows(int rows) const {
    const int frame = 2 * frameWidth();
    const int scrollBar = horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff
                              ? 0
                              : horizontalScrollBar()->sizeHint().height();
    return rows * (fontMetrics().lineSpacing() + 2) + frame + scrollBar + 2;
}

void ListBox::headOver(ListBox* body) {
    setItemDelegate(new HeaderDelegate(this, body));
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    body->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(body->horizontalScrollBar(), &QScrollBar::valueChanged, horizontalScrollBar(),
            &QScrollBar::setValue);
    // A new body brings new columns: lay the header out again for them.
    connect(body->model(), &QAbstractItemModel::modelReset, this, [this] {
        scheduleDelayedItemsLayout();
        viewport()->update();
    });
}

} // namespace kestrana::gui::widgets
