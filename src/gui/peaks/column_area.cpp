// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/peaks/column_area.h"

#include "core/peaks/texts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <string_view>

namespace kestrana::gui::peaks {

namespace {

// Where a list stands, in characters of the header from its left edge: the list's entries start
// under character `first`, and the list reaches to just before character `end`.
struct CharSpan {
    int first = 0;
    int end = 0;
};

// Characters given to a peak's location list; its value list takes the rest of the peak's room.
constexpr int kLocationChars = 6;
// Room of the 9th and 10th pairs, which have no word in the header.
constexpr int kExtraPairChars = 11;
// Pixel sizes the fixed-pitch font may take, largest first.
constexpr int kLargestFontPixels = 20;
constexpr int kSmallestFontPixels = 10;
constexpr int kMargin = 2;

int headerPosition(std::string_view word) {
    const std::size_t at = kestrana::peaks::kColumnHeaderCaption.find(word);
    return at == std::string_view::npos ? 0 : static_cast<int>(at);
}

// The spans of the 22 lists, from the words of the header.
std::array<CharSpan, kColumnLists> columnSpans() {
    static constexpr std::array<std::string_view, 8> kPeakWords{"1st", "2nd", "3rd", "4th",
                                                                "5th", "6th", "7th", "8th"};
    std::array<CharSpan, kColumnLists> spans{};
    spans[0] = {headerPosition("KM_fr"), headerPosition("KM_to") - 1};
    spans[1] = {headerPosition("KM_to"), headerPosition(kPeakWords[0]) - 1};
    int start = 0;
    for (int pair = 1; pair <= 10; ++pair) {
        if (pair <= 8) {
            start = headerPosition(kPeakWords[static_cast<std::size_t>(pair - 1)]);
        } else {
            start += kExtraPairChars;
        }
        const int next =
            pair < 8 ? headerPosition(kPeakWords[static_cast<std::size_t>(pair)]) : start + kExtraPairChars;
        spans[static_cast<std::size_t>(2 * pair)] = {start, start + kLocationChars};
        spans[static_cast<std::size_t>(2 * pair + 1)] = {start + kLocationChars, next - 1};
    }
    return spans;
}

// The lists with a scroll bar of their own: resultLists(1), which drives the coupled lists, and the
// uncoupled lists 18 to 21. The others follow resultLists(1) and show none.
bool showsScrollBar(int index) {
    return index == 1 || index >= 18;
}

QFont columnFont(int pixels) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("Noto Sans Mono"), QStringLiteral("Courier New"), font.family()});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(pixels);
    return font;
}

} // namespace

ColumnArea::ColumnArea(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ColumnArea::setColumns(QLabel* header, const ColumnListArray& lists) {
    header_ = header;
    lists_ = lists;
    header_->setParent(this);
    header_->setTextFormat(Qt::PlainText);
    for (int i = 0; i < kColumnLists; ++i) {
        widgets::ListBox* list = lists_[static_cast<std::size_t>(i)];
        list->setParent(this);
        // The columns are sized to their entries: they never scroll sideways.
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setVerticalScrollBarPolicy(showsScrollBar(i) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    }
    placeColumns();
}

QSize ColumnArea::minimumSizeHint() const {
    return {900, 160};
}

QSize ColumnArea::sizeHint() const {
    return {1000, 400};
}

void ColumnArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeColumns();
}

void ColumnArea::placeColumns() {
    if (header_ == nullptr)
        return;
    const std::array<CharSpan, kColumnLists> spans = columnSpans();
    const int totalChars = spans.back().end + 1;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    // The largest font whose columns, with the scroll bars of lists 18 to 21, fit the width.
    QFont font = columnFont(kSmallestFontPixels);
    for (int pixels = kLargestFontPixels; pixels >= kSmallestFontPixels; --pixels) {
        const QFont candidate = columnFont(pixels);
        const double advance = QFontMetricsF(candidate).horizontalAdvance(QLatin1Char('0'));
        if (2 * kMargin + totalChars * advance + 4 * scrollBar <= width()) {
            font = candidate;
            break;
        }
    }
    if (header_->font() != font)
        header_->setFont(font);
    const double advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    const int lineHeight = static_cast<int>(std::ceil(QFontMetricsF(font).height()));
    header_->setGeometry(kMargin, 0, width() - 2 * kMargin, lineHeight + 4);

    const int top = lineHeight + 6;
    const int height = std::max(40, this->height() - top);
    // Where an entry's text starts inside its list: the frame and the entry's own margin.
    const int inset = 1 + style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    int extraPixels = 0; // scroll bars of lists 18 to 21 push the later ones to the right
    for (int i = 0; i < kColumnLists; ++i) {
        widgets::ListBox* list = lists_[static_cast<std::size_t>(i)];
        if (list->font() != font)
            list->setFont(font);
        const CharSpan span = spans[static_cast<std::size_t>(i)];
        const int left = kMargin + static_cast<int>(std::lround(span.first * advance)) - inset + extraPixels;
        int right = kMargin + static_cast<int>(std::lround(span.end * advance)) + extraPixels;
        if (i >= 18) {
            right += scrollBar;
            extraPixels += scrollBar;
        }
        list->setGeometry(left, top, std::max(8, right - left), height);
    }
}

} // namespace kestrana::gui::peaks
