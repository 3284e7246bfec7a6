// The comparator screen's controls with their design texts and first states, and how they are laid
// out: the run files, the number of runs, the parameter, the km range and the buttons down the left,
// the comparison listing beside them, the chart across the width below. Everything stretches with
// the window.

// The core's headers come before any Qt header (see form2.h).
#include "comparator/run_database.h"
#include "comparator/session.h"
#include "platform/paths.h"

#include "gui/comparator/form2.h"
#include "gui/platform/screen_setup.h"
#include "gui/platform/charts.h"
#include "gui/platform/fonts.h"
#include "gui/platform/list_box.h"
#include "gui/platform/qt_text.h"

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
QLabel#Label1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #123a6b, stop:1 #0b2546);
                border-radius: 4px; }
QLabel#Label2 { color: #ffd54a; background: transparent; }
QLabel#Label7 { color: #123a6b; }
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

platform::ListBox* listBox(QWidget* parent, const QString& name, const QString& accessibleName) {
    auto* list = new platform::ListBox(parent);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    return list;
}

} // namespace

void form2::buildControls() {
    setStyleSheet(QString::fromLatin1(kStyle));

    // The km caption of a slot is made before its path box, so that the box lies over it.
    for (int k = 0; k < core::kSlotCount; ++k) {
        Label3[k] = label(this, indexedName("Label3", k), QString::fromLatin1(kSlotHeadings[k]));
        Label6[k] = label(this, indexedName("Label6", k));
        Label6[k]->setProperty("kmCaption", true);
        Text1[k] = textBox(this, indexedName("Text1", k),
                           QDir::toNativeSeparators(platform::fromPath(
                               kestrana::platform::mapDesignPath(core::kDesignSlotPaths[k]))));
        Text1[k]->setAccessibleName(QStringLiteral("Run file of run %1").arg(k));
        Label3[k]->setBuddy(Text1[k]);
        Command6[k] = button(this, indexedName("Command6", k), "Browse",
                             QStringLiteral("Browse for the run file of run %1").arg(k));
    }

    Label5 = label(this, QStringLiteral("Label5"),
                   QStringLiteral("Number of Runs for comparision (excluding current)"));
    Label5->setWordWrap(true);
    Text3 = textBox(this, QStringLiteral("Text3"), QStringLiteral("0"));
    Text3->setAccessibleName(QStringLiteral("Number of older runs"));
    Label5->setBuddy(Text3);
    Label8 = label(this, QStringLiteral("Label8"), QStringLiteral("Compare Parameter "));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setAccessibleName(QStringLiteral("Compare parameter"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view name : core::kCompareParameterNames)
        Combo1->addItem(platform::fromCore(name));
    Combo1->setCurrentIndex(0);
    Label8->setBuddy(Combo1);

    Label4[0] = label(this, indexedName("Label4", 0), QStringLiteral("Km  - From"));
    Label4[1] = label(this, indexedName("Label4", 1), QStringLiteral("Km - To"));
    for (int i = 0; i < 2; ++i) {
        Text2[i] = textBox(this, indexedName("Text2", i));
        Label4[i]->setBuddy(Text2[i]);
    }
    Text2[0]->setAccessibleName(QStringLiteral("Km from"));
    Text2[1]->setAccessibleName(QStringLiteral("Km to"));

    Command2 = button(this, QStringLiteral("Command2"), "PROCESS   DATA", QStringLiteral("Process data"));
    Command1 = button(this, QStringLiteral("Command1"), "COMPARE    TGI   ", QStringLiteral("Compare"));
    Command3 = button(this, QStringLiteral("Command3"), "PRINT   DETAILS", QStringLiteral("Print details"));
    Command5 = button(this, QStringLiteral("Command5"), "PRINT  GRAPH", QStringLiteral("Print graph"));
    Command7 = button(this, QStringLiteral("Command7"), "SAVE DETAILS", QStringLiteral("Save details"));
    Command4 = button(this, QStringLiteral("Command4"), "   GO TO   MAIN", QStringLiteral("Go to main menu"));

    List3 = listBox(this, QStringLiteral("List3"), QStringLiteral("Listing heading"));
    List4 = listBox(this, QStringLiteral("List4"), QStringLiteral("Blocks"));
    for (int k = 0; k < core::kSlotCount; ++k) {
        List1[k] = listBox(this, indexedName("List1", k), QStringLiteral("Run date of run %1").arg(k));
        List2[k] = listBox(this, indexedName("List2", k), QStringLiteral("Values of run %1").arg(k));
    }
    MSChart1 = new platform::LineChart(this);
    MSChart1->setObjectName(QStringLiteral("MSChart1"));
    MSChart1->setAccessibleName(QStringLiteral("Comparison chart"));

    Label1 = label(this, QStringLiteral("Label1"));
    Label2 = label(Label1, QStringLiteral("Label2"), QStringLiteral("TGI  COMPARATOR"));
    Label2->setFont(platform::designFont(QStringLiteral("Arial Black"), 13));
    Label2->adjustSize();
    Label1->setFixedHeight(Label2->height() + 8);
    Label7 = label(this, QStringLiteral("Label7"));
    QFont credit = Label7->font();
    credit.setItalic(true);
    Label7->setFont(credit);

    Timer1 = platform::designTimer(this, "Timer1", kTitleIntervalMs);
    Timer2 = platform::designTimer(this, "Timer2", kCreditIntervalMs);
}

void form2::buildLayout() {
    // Left: the run files, each path box lying over its km caption.
    auto* runs = new QGroupBox(QStringLiteral("Runs"), this);
    auto* runsGrid = new QGridLayout(runs);
    runsGrid->setVerticalSpacing(2);
    for (int k = 0; k < core::kSlotCount; ++k) {
        runsGrid->addWidget(Label3[k], 2 * k, 0, 1, 2);
        runsGrid->addWidget(Label6[k], 2 * k + 1, 0);
        runsGrid->addWidget(Text1[k], 2 * k + 1, 0);
        runsGrid->addWidget(Command6[k], 2 * k + 1, 1);
        // The hidden path box keeps its room, so the caption takes its place without a jump.
        QSizePolicy keepRoom = Text1[k]->sizePolicy();
        keepRoom.setRetainSizeWhenHidden(true);
        Text1[k]->setSizePolicy(keepRoom);
        Label6[k]->setFixedHeight(Text1[k]->sizeHint().height());
    }
    runsGrid->setColumnStretch(0, 1);

    auto* inputs = new QGroupBox(QStringLiteral("Comparison"), this);
    auto* inputsGrid = new QGridLayout(inputs);
    inputsGrid->setVerticalSpacing(4);
    inputsGrid->addWidget(Label5, 0, 0, 1, 3);
    inputsGrid->addWidget(Text3, 0, 3);
    inputsGrid->addWidget(Label8, 1, 0, 1, 2);
    inputsGrid->addWidget(Combo1, 1, 2, 1, 2);
    inputsGrid->addWidget(Label4[0], 2, 0);
    inputsGrid->addWidget(Text2[0], 2, 1);
    inputsGrid->addWidget(Label4[1], 2, 2);
    inputsGrid->addWidget(Text2[1], 2, 3);
    inputsGrid->setColumnStretch(1, 1);
    inputsGrid->setColumnStretch(3, 1);
    for (QLineEdit* number : {Text3, Text2[0], Text2[1]})
        number->setMinimumWidth(56);
    Text3->setMaximumWidth(70);

    auto* operations = new QGridLayout;
    operations->setSpacing(4);
    operations->addWidget(Command2, 0, 0);
    operations->addWidget(Command1, 0, 1);
    operations->addWidget(Command3, 1, 0);
    operations->addWidget(Command5, 1, 1);
    operations->addWidget(Command7, 2, 0);
    operations->addWidget(Command4, 2, 1);

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
    const QFontMetrics digits(platform::listingFont());
    listingGrid->addWidget(List3, 0, 0);
    listingGrid->addWidget(List4, 1, 0);
    // The block column is as wide as its labels; the value columns share the rest, each value
    // standing in the middle under its run date.
    const auto chars = [&](int count) { return digits.horizontalAdvance(QString(count, QLatin1Char('0'))); };
    List4->setMinimumWidth(chars(30));
    List4->setMaximumWidth(chars(36));
    listingGrid->setColumnStretch(0, 3);
    for (int k = 0; k < core::kSlotCount; ++k) {
        listingGrid->addWidget(List1[k], 0, k + 1);
        listingGrid->addWidget(List2[k], 1, k + 1);
        List2[k]->setMinimumWidth(chars(9));
        List1[k]->setEntryAlignment(Qt::AlignCenter);
        List2[k]->setEntryAlignment(Qt::AlignCenter);
        // The value columns follow the block column's scroll bar; their own would only distract.
        List2[k]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        listingGrid->setColumnStretch(k + 1, 2);
    }
    List3->setMaximumWidth(chars(36));
    for (platform::ListBox* heading : {List3, List1[0], List1[1], List1[2], List1[3]}) {
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
    parts->addWidget(MSChart1);
    parts->setStretchFactor(0, 3);
    parts->setStretchFactor(1, 2);
    parts->setSizes({450, 300});
    MSChart1->setMinimumHeight(200);

    auto* screen = new QVBoxLayout(this);
    screen->setContentsMargins(8, 6, 8, 6);
    screen->setSpacing(4);
    screen->addWidget(Label1);
    screen->addWidget(Label7);
    screen->addWidget(parts, 1);

    for (QLineEdit* path : Text1)
        path->setMinimumWidth(240);
}

void form2::setTabOrderAsSeen() {
    std::vector<QWidget*> order;
    for (int k = 0; k < core::kSlotCount; ++k) {
        order.push_back(Text1[k]);
        order.push_back(Command6[k]);
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{Text3, Combo1, Text2[0], Text2[1], Command2, Command1, Command3,
                                         Command5, Command7, Command4, List4})
        order.push_back(control);
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

} // namespace kestrana::gui::comparator
