#pragma once
// A list box of the analyser screen: a column of text entries in a fixed-pitch font, as the
// screen's listing, header and raw-data boxes need them. It is a QListView over a plain string
// model, so a listing of 32767 blocks (65534 entries with their separators) is put in with one call
// and drawn only where it shows.
//
// entryClicked() fires when the user picks an entry, by mouse or by the arrow keys; selectedEntry()
// is then the picked entry (the list box's current entry).

#include <QListView>
#include <QStringList>

class QStringListModel;

namespace kestrana::gui::analyser {

class ListBox : public QListView {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    // Replaces every entry at once.
    void setEntries(const QStringList& entries);

    int count() const;
    QString entry(int row) const;
    QStringList entries() const;
    // The picked entry's row, or -1 when none is picked.
    int selectedRow() const;
    // The picked entry's text; empty when none is picked.
    QString selectedEntry() const;

    // The height that shows exactly `rows` entries (for the one-line header boxes).
    int heightForRows(int rows) const;

    // Makes this list box the column header of `body`. The header's words were spaced for the
    // proportional face of the original screen, so in a fixed-pitch face they would stand left of
    // their columns; here each word is drawn centred over the column it names, taken from the
    // body's first entry (drawn as it is when the counts of words and columns differ). The entry
    // itself stays the header text, and the header follows the body's sideways scrolling.
    void headOver(ListBox* body);

signals:
    void entryClicked();

private:
    QStringListModel* model_;
};

// The fixed-pitch font of the listing boxes, so that the columns of the fixed-layout rows line up.
QFont listingFont();

} // namespace kestrana::gui::analyser
