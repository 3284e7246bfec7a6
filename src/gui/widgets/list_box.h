// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The list box of every screen: a column of text entries in a fixed-pitch font that scrolls one entry
// at a time. It is a QListView over a plain string model, so a listing of 32767 blocks (65534 entries
// with their separators) is put in with one call and drawn only where it shows.
//
// Besides its entries it offers what the screens ask of a list box: the top visible entry, read and
// set, with scrolled() whenever it changes (by the scroll bar, the mouse wheel or the keyboard); the
// picked entry, with entryClicked() when the user picks one (by mouse or by the arrow keys); where
// the entries stand across the box; the height of a given number of rows; and drawing the box as the
// column header of another one.
//
// New entries keep the box where it was scrolled to, as far as they reach; a screen that wants a new
// listing read from its first entry scrolls to the top itself.

#include <QListView>
#include <QStringList>

#include <string>
#include <vector>

namespace kestrana::gui::widgets {

class ListBoxModel;

class ListBox : public QListView {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    // Replaces every entry at once.
    void setEntries(const QStringList& entries);
    // The same for the core's texts, one entry each.
    void setEntries(const std::vector<std::string>& entries);
    void clear();

    int count() const;
    QString entry(int row) const;
    QStringList entries() const;

    // The index of the top visible entry (0 for an empty box).
    int topIndex() const;
    // Scrolls so that `row` is the top visible entry, as far as the box can scroll.
    void setTopIndex(int row);

    // The picked entry's row, or -1 when none is picked.
    int selectedRow() const;
    // The picked entry's text; empty when none is picked.
    QString selectedEntry() const;

    // Where the entries stand across the box (left unless told otherwise).
    void setEntryAlignment(Qt::Alignment alignment);

    // The height that shows exactly `rows` entries, with the sideways scroll bar when the box has one
    // (for the one-line header boxes and the short raw-data box).
    int heightForRows(int rows) const;

    // Makes this list box the column header of `body`. A header's words were spaced for the
    // proportional face of the original screen, so in a fixed-pitch face they would stand left of
    // their columns; here each word is drawn centred over the column it names, taken from the
    // body's first entry (drawn as it is when the counts of words and columns differ). The entry
    // itself stays the header text, and the header follows the body's sideways scrolling.
    void headOver(ListBox* body);

signals:
    void scrolled();
    void entryClicked();

private:
    ListBoxModel* model_;
};

// The fixed-pitch font of the list boxes, so that the columns of the fixed-layout rows line up.
QFont listingFont();

} // namespace kestrana::gui::widgets
