#pragma once
// The result columns of the peak analyser: List1(0) to List1(21), one list box per column, under
// the fixed column header Label4.
//
// ColumnList is one list box with the two things the screen needs beyond entries: the top visible
// entry (read and set) and a signal when the list scrolls, by scroll bar, wheel or keys.
//
// ColumnArea places the header and the 22 lists so that every list stands under its word of the
// header: the km lists under "KM_fr" and "KM_to", the location and value lists of the n-th peak
// under "nth Peak". Header and lists share one fixed-pitch font, whose size is chosen to fill the
// width the screen has (small at 1024 x 768, larger on wider displays). Lists 18 to 21, the 9th and
// 10th pairs of long peak lines, follow to the right of the header.

#include <QListWidget>
#include <QStringList>
#include <QWidget>

#include <array>

class QLabel;

namespace kestrana::gui::peaks {

class ColumnList : public QListWidget {
    Q_OBJECT
public:
    explicit ColumnList(QWidget* parent = nullptr);

    void setEntries(const QStringList& entries);
    QStringList entries() const;

    // The index of the entry shown at the top (0 when empty).
    int topIndex() const;
    // Scrolls so that `index` is the top entry, as far as the list can scroll.
    void setTopIndex(int index);

signals:
    void scrolled();
};

inline constexpr int kColumnLists = 22;
using ColumnListArray = std::array<ColumnList*, kColumnLists>;

class ColumnArea : public QWidget {
    Q_OBJECT
public:
    explicit ColumnArea(QWidget* parent = nullptr);

    // Takes the header label and the lists as children and lays them out.
    void setColumns(QLabel* header, const ColumnListArray& lists);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeColumns();

    QLabel* header_ = nullptr;
    ColumnListArray lists_{};
};

} // namespace kestrana::gui::peaks
