#pragma once
// A list box of the comparison listing: a column of text entries in a fixed-pitch font that scrolls
// one entry at a time, so its top visible entry can be read and set like the design's list boxes.
// scrolled() fires whenever the top visible entry changes, by the scroll bar, the mouse wheel or the
// keyboard; the screen couples the value columns to the block column through it.

#include <QListView>
#include <QStringList>

namespace kestrana::gui::comparator {

class ListingModel;

class ListingBox : public QListView {
    Q_OBJECT
public:
    explicit ListingBox(QWidget* parent = nullptr);

    // Replaces every entry at once, starting again at the top.
    void setEntries(const QStringList& entries);
    void clear();

    int count() const;
    QString entry(int row) const;
    QStringList entries() const;

    // The index of the top visible entry (0 for an empty box).
    int topIndex() const;
    // Scrolls so that `row` is the top visible entry, as far as the box can scroll.
    void setTopIndex(int row);

    // The height that shows exactly `rows` entries (for the one-line heading boxes).
    int heightForRows(int rows) const;

    // Where the entries stand across the box (left unless told otherwise).
    void setEntryAlignment(Qt::Alignment alignment);

signals:
    void scrolled();

private:
    ListingModel* model_;
};

// The fixed-pitch font of the listing, so that the columns of the block labels line up.
QFont listingFont();

} // namespace kestrana::gui::comparator
