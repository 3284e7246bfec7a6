#include "gui/comparator/listing_box.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QStringListModel>

namespace kestrana::gui::comparator {

// The entries with one alignment for all of them.
class ListingModel : public QStringListModel {
public:
    using QStringListModel::QStringListModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(alignment);
        return QStringListModel::data(index, role);
    }
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

QFont listingFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPointSizeF(9.5);
    return font;
}

ListingBox::ListingBox(QWidget* parent) : QListView(parent), model_(new ListingModel(this)) {
    setModel(model_);
    setFont(listingFont());
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Whole entries per scroll step: the top visible entry is then the scroll bar's value.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setUniformItemSizes(true);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &ListingBox::scrolled);
}

void ListingBox::setEntries(const QStringList& entries) {
    model_->setStringList(entries);
    verticalScrollBar()->setValue(0);
}

void ListingBox::clear() {
    setEntries({});
}

int ListingBox::count() const {
    return static_cast<int>(model_->rowCount());
}

QString ListingBox::entry(int row) const {
    return model_->data(model_->index(row), Qt::DisplayRole).toString();
}

QStringList ListingBox::entries() const {
    return model_->stringList();
}

int ListingBox::topIndex() const {
    return count() == 0 ? 0 : verticalScrollBar()->value();
}

void ListingBox::setTopIndex(int row) {
    // The scroll range is only known once the box has laid out its entries.
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(row);
}

void ListingBox::setEntryAlignment(Qt::Alignment alignment) {
    model_->alignment = alignment;
    viewport()->update();
}

int ListingBox::heightForRows(int rows) const {
    const int rowHeight = QFontMetrics(font()).lineSpacing() + 2;
    return rows * rowHeight + 2 * frameWidth() + 2;
}

} // namespace kestrana::gui::comparator
