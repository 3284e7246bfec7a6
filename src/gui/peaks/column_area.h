// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The result columns of the peak analyser: resultLists(0) to resultLists(21), one list box per column, under
// the fixed column header columnHeaderLabel.
//
// ColumnArea places the header and the 22 lists so that every list stands under its word of the
// header: the km lists under "KM_fr" and "KM_to", the location and value lists of the n-th peak
// under "nth Peak". Header and lists share one fixed-pitch font, whose size is chosen to fill the
// width the screen has (small at 1024 x 768, larger on wider displays). Lists 18 to 21, the 9th and
// 10th pairs of long peak lines, follow to the right of the header.

#include "gui/widgets/list_box.h"

#include <QWidget>

#include <array>

class QLabel;

namespace kestrana::gui::peaks {

inline constexpr int kColumnLists = 22;
using ColumnListArray = std::array<widgets::ListBox*, kColumnLists>;

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
