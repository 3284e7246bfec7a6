// The comparator screen's controls with their design texts and first states, and how they are laid
// out: the run files, the number of runs, the parameter, the km range and the buttons down the left,
// the comparison listing beside them, the chart across the width below. Everything stretches with
// the window.

// The core's headers come before any Qt header (see comparator_screen.h).
#include "core/comparator/run_database.h"
#include "core/comparator/session.h"
#include "core/platform/paths.h"

#include "gui/comparator/comparator_screen.h"
#include "gui/widgets/charts.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/list_box.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/screen_setup.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrana::gui::comparator {

namespace core = kestrana::comparator;

namespace {

constexpr std::array<const char*, core::kSlotCount> kSlotHeadings = {
    "Input File - Current TRC Run No.0", "Input File  -  TRC Run No.1   [ Oldest ]",
    "Input File  -  TRC Run No.2", "Input File  -  TRC Run No.3"};

constexpr const char* kStyle = R"(
QLabel#titleBand { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #123a6b, stop:1 #0b2546);
                border-radius: 4px; }
QLabel#titleLabel { color: #ffd54a; background: transparent; }
QLabel#creditLabel { color: #123a6b; }
QLabel[kmCaption="true"] { color: #123a6b; font-weight: bold; padding-left: 4px;
                           border: 1px solid #b7c5d9; border-radius: 3px; background: #eef2f7; }
QGroupBox { font-weight: bold; color: #123a6b; border: 1px solid #b7c5d9; border-radius: 5px;
            margin-top: 8px; padding-top: 4px; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }
QPushButton { padding: 3px 10px; }
)";

QString indexedName(const char* name, int index) {
    return QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(index);
}

QLineEdit* textBox(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    return box;
}

QPushButton* button(QWidget* parent, const QString& name, const char* caption,
                    const QString& accessibleName) {
    auto* command = new QPushButton(QString::fromLatin1(caption), parent);
    command->setObjectName(name);
    command->setAccessibleName(accessibleName);
    command->setAutoDefault(false);
    return command;
}

QLabel* label(QWidget* parent, const QString& name, const QString& caption = {}) {
    auto* shown = new QLabel(caption, parent);
    shown->setObjectName(name);
    return shown;
}

widgets::ListBox* listBox(QWidget* parent, const QString& name, const QString& accessibleName) {
    auto* list = new widgets::ListBox(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    return list;
}

} // namespace

void ComparatorScreen::buildControls() {
    setStyleSheet(QString::fromLatin1(kStyle));

    // The km caption of a slot is made before its path box, so that the box lies over it.
    for (int k = 0; k < core::kSlotCount; ++k) {
        slotHeadingLabels[k] =
            label(this, indexedName("slotHeadingLabels", k), QString::fromLatin1(kSlotHeadings[k]));
        slotKmLabels[k] = label(this, indexedName("slotKmLabels", k));
        slotKmLabels[k]->setProperty("kmCaption", true);
        runFileEdits[k] = textBox(this, indexedName("runFileEdits", k),
                                  QDir::toNativeSeparators(widgets::fromPath(
                                      kestrana::platform::mapDesignPath(core::kDesignSlotPaths[k]))));
        runFileEdits[k]->setAccessibleName(QStringLiteral("Run file of run %1").arg(k));
        slotHeadingLabels[k]->setBuddy(runFileEdits[k]);
        browseButtons[k] = button(this, indexedName("browseButtons", k), "Browse",
                                  QStringLiteral("Browse for the run file of run %1").arg(k));
    }

    olderRunCountLabel = label(this, QStringLiteral("olderRunCountLabel"),
                               QStringLiteral("Number of Runs for comparision (excluding current)"));
    olderRunCountLabel->setWordWrap(true);
    olderRunCountEdit = textBox(this, QStringLiteral("olderRunCountEdit"), QStringLiteral("0"));
    olderRunCountEdit->setAccessibleName(QStringLiteral("Number of older runs"));
    olderRunCountLabel->setBuddy(olderRunCountEdit);
    parameterLabel = label(this, QStringLiteral("parameterLabel"), QStringLiteral("Compare Parameter "));
    parameterCombo = new QComboBox(this);
    parameterCombo->setObjectName(QStringLiteral("parameterCombo"));
    parameterCombo->setAccessibleName(QStringLiteral("Compare parameter"));
    parameterCombo->setEditable(true);
    parameterCombo->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view name : core::kCompareParameterNames)
        parameterCombo->addItem(widgets::fromCore(name));
    parameterCombo->setCurrentIndex(0);
    parameterLabel->setBuddy(parameterCombo);

    kmRangeLabels[0] = label(this, indexedName("kmRangeLabels", 0), QStringLiteral("Km  - From"));
    kmRangeLabels[1] = label(this, indexedName("kmRangeLabels", 1), QStringLiteral("Km - To"));
    for (int i = 0; i < 2; ++i) {
        kmRangeEdits[i] = textBox(this, indexedName("kmRangeEdits", i));
        kmRangeLabels[i]->setBuddy(kmRangeEdits[i]);
    }
    kmRangeEdits[0]->setAccessibleName(QStringLiteral("Km from"));
    kmRangeEdits[1]->setAccessibleName(QStringLiteral("Km to"));

    processDataButton =
        button(this, QStringLiteral("processDataButton"), "PROCESS   DATA", QStringLiteral("Process data"));
    compareButton =
        button(this, QStringLiteral("compareButton"), "COMPARE    TGI   ", QStringLiteral("Compare"));
    printDetailsButton = button(this, QStringLiteral("printDetailsButton"), "PRINT   DETAILS",
                                QStringLiteral("Print details"));
    printGraphButton =
        button(this, QStringLiteral("printGraphButton"), "PRINT  GRAPH", QStringLiteral("Print graph"));
    saveDetailsButton =
        button(this, QStringLiteral("saveDetailsButton"), "SAVE DETAILS", QStringLiteral("Save details"));
    goToMainButton =
        button(this, QStringLiteral("goToMainButton"), "   GO TO   MAIN", QStringLiteral("Go to main menu"));

    headingList = listBox(this, QStringLiteral("headingList"), QStringLiteral("Listing heading"));
    blockList = listBox(this, QStringLiteral("blockList"), QStringLiteral("Blocks"));
    for (int k = 0; k < core::kSlotCount; ++k) {
        runDateLists[k] =
            listBox(this, indexedName("runDateLists", k), QStringLiteral("Run date of run %1").arg(k));
        valueLists[k] =
            listBox(this, indexedName("valueLists", k), QStringLiteral("Values of run %1").arg(k));
    }
    comparisonChart = new widgets::LineChart(this);
    comparisonChart->setObjectName(QStringLiteral("comparisonChart"));
    comparisonChart->setAccessibleName(QStringLiteral("Comparison chart"));

    // The title starts in the middle of the band, on a multiple of the 5-twip step.
    titleBand = new widgets::TitleBand(
        QStringLiteral("TGI  COMPARATOR"),
        [](int bandTwips, int titleTwips) { return (bandTwips - titleTwips) / 2 / 5 * 5; }, this);
    titleBand->setObjectName(QStringLiteral("titleBand"));
    titleLabel = titleBand->title();
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setFont(widgets::designFont(QStringLiteral("Arial Black"), 13));
    titleLabel->adjustSize();
    titleBand->setFixedHeight(titleLabel->height() + 8);
    creditLabel = label(this, QStringLiteral("creditLabel"));
    QFont credit = creditLabel->font();
    credit.setItalic(true);
    creditLabel->setFont(credit);

    titleTimer = widgets::designTimer(this, "titleTimer", kTitleIntervalMs);
    creditTimer = widgets::designTimer(this, "creditTimer", kCreditIntervalMs);
}

void ComparatorScreen::buildLayout() {
    // Left: the run files, each path box lying over its km caption.
    auto* runs = new QGroupBox(QStringLiteral("Runs"), this);
    auto* runsGrid = new QGridLayout(runs);
    runsGrid->setVerticalSpacing(2);
    for (int k = 0; k < core::kSlotCount; ++k) {
        runsGrid->addWidget(slotHeadingLabels[k], 2 * k, 0, 1, 2);
        runsGrid->addWidget(slotKmLabels[k], 2 * k + 1, 0);
        runsGrid->addWidget(runFileEdits[k], 2 * k + 1, 0);
        runsGrid->addWidget(browseButtons[k], 2 * k + 1, 1);
        // The hidden path box keeps its room, so the caption takes its place without a jump.
        QSizePolicy keepRoom = runFileEdits[k]->sizePolicy();
        keepRoom.setRetainSizeWhenHidden(true);
        runFileEdits[k]->setSizePolicy(keepRoom);
        slotKmLabels[k]->setFixedHeight(runFileEdits[k]->sizeHint().height());
    }
    runsGrid->setColumnStretch(0, 1);

    auto* inputs = new QGroupBox(QStringLiteral("Comparison"), this);
    auto* inputsGrid = new QGridLayout(inputs);
    inputsGrid->setVerticalSpacing(4);
    inputsGrid->addWidget(olderRunCountLabel, 0, 0, 1, 3);
    inputsGrid->addWidget(olderRunCountEdit, 0, 3);
    inputsGrid->addWidget(parameterLabel, 1, 0, 1, 2);
    inputsGrid->addWidget(parameterCombo, 1, 2, 1, 2);
    inputsGrid->addWidget(kmRangeLabels[0], 2, 0);
    inputsGrid->addWidget(kmRangeEdits[0], 2, 1);
    inputsGrid->addWidget(kmRangeLabels[1], 2, 2);
    inputsGrid->addWidget(kmRangeEdits[1], 2, 3);
    inputsGrid->setColumnStretch(1, 1);
    inputsGrid->setColumnStretch(3, 1);
    for (QLineEdit* number : {olderRunCountEdit, kmRangeEdits[0], kmRangeEdits[1]})
        number->setMinimumWidth(56);
    olderRunCountEdit->setMaximumWidth(70);

    auto* operations = new QGridLayout;
    operations->setSpacing(4);
    operations->addWidget(processDataButton, 0, 0);
    operations->addWidget(compareButton, 0, 1);
    operations->addWidget(printDetailsButton, 1, 0);
    operations->addWidget(printGraphButton, 1, 1);
    operations->addWidget(saveDetailsButton, 2, 0);
    operations->addWidget(goToMainButton, 2, 1);

    auto* left = new QVBoxLayout;
    left->setSpacing(6);
    left->addWidget(runs);
    left->addWidget(inputs);
    left->addLayout(operations);
    left->addStretch(1);

    // Right of the inputs: the listing, headings over their columns.
    auto* listing = new QGroupBox(QStringLiteral("Comparison listing"), this);
    auto* listingGrid = new QGridLayout(listing);
    listingGrid->setHorizontalSpacing(2);
    listingGrid->setVerticalSpacing(2);
    const QFontMetrics digits(widgets::listingFont());
    listingGrid->addWidget(headingList, 0, 0);
    listingGrid->addWidget(blockList, 1, 0);
    // The block column is as wide as its labels; the value columns share the rest, each value
    // standing in the middle under its run date.
    const auto chars = [&](int count) { return digits.horizontalAdvance(QString(count, QLatin1Char('0'))); };
    blockList->setMinimumWidth(chars(30));
    blockList->setMaximumWidth(chars(36));
    listingGrid->setColumnStretch(0, 3);
    for (int k = 0; k < core::kSlotCount; ++k) {
        listingGrid->addWidget(runDateLists[k], 0, k + 1);
        listingGrid->addWidget(valueLists[k], 1, k + 1);
        valueLists[k]->setMinimumWidth(chars(9));
        runDateLists[k]->setEntryAlignment(Qt::AlignCenter);
        valueLists[k]->setEntryAlignment(Qt::AlignCenter);
        // The value columns follow the block column's scroll bar; their own would only distract.
        valueLists[k]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        listingGrid->setColumnStretch(k + 1, 2);
    }
    headingList->setMaximumWidth(chars(36));
    for (widgets::ListBox* heading :
         {headingList, runDateLists[0], runDateLists[1], runDateLists[2], runDateLists[3]}) {
        heading->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        heading->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        heading->setFocusPolicy(Qt::NoFocus);
        heading->setFixedHeight(heading->heightForRows(1));
    }
    listingGrid->setRowStretch(1, 1);

    auto* top = new QWidget(this);
    auto* columns = new QHBoxLayout(top);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(8);
    // The inputs take what their paths need, up to a width that still reads as one column.
    auto* inputsColumn = new QWidget(top);
    inputsColumn->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    inputsColumn->setMaximumWidth(620);
    columns->addWidget(inputsColumn, 1);
    columns->addWidget(listing, 2);

    // Below, the chart across the whole width: up to a hundred kms read best side by side, and the
    // graph page prints it across the paper. The divider gives either part more room.
    auto* parts = new QSplitter(Qt::Vertical, this);
    parts->setObjectName(QStringLiteral("partsSplitter"));
    parts->setChildrenCollapsible(false);
    parts->addWidget(top);
    parts->addWidget(comparisonChart);
    parts->setStretchFactor(0, 3);
    parts->setStretchFactor(1, 2);
    parts->setSizes({450, 300});
    comparisonChart->setMinimumHeight(200);

    auto* screen = new QVBoxLayout(widgets::scrollingPage(this));
    screen->setContentsMargins(8, 6, 8, 6);
    screen->setSpacing(4);
    screen->addWidget(titleBand);
    screen->addWidget(creditLabel);
    screen->addWidget(parts, 1);

    for (QLineEdit* path : runFileEdits)
        path->setMinimumWidth(240);
}

void ComparatorScreen::setTabOrderAsSeen() {
    std::vector<QWidget*> order;
    for (int k = 0; k < core::kSlotCount; ++k) {
        order.push_back(runFileEdits[k]);
        order.push_back(browseButtons[k]);
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{olderRunCountEdit, parameterCombo, kmRangeEdits[0], kmRangeEdits[1],
                                         processDataButton, compareButton, printDetailsButton,
                                         printGraphButton, saveDetailsButton, goToMainButton, blockList})
        order.push_back(control);
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

} // namespace kestrana::gui::comparator
