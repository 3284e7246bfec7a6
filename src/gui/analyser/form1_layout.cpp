// The analyser screen's controls with their design texts and defaults, and how they are laid out:
// the run and its quality figures down the left, the block listing (or the chart in its place), the
// raw data of a listed block and the track share on the right. Everything stretches with the window.

#include "analyser/listing.h"
#include "analyser/quality.h"
#include "gui/analyser/form1.h"
#include "gui/platform/screen_setup.h"
#include "gui/platform/charts.h"
#include "gui/platform/fonts.h"
#include "gui/platform/list_box.h"
#include "gui/platform/qt_text.h"
#include "platform/paths.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrana::gui::analyser {

namespace core = kestrana::analyser;

namespace {

// The design's default paths, mapped into the program's home folder.
constexpr const char* kDefaultRunFile = "d:\\TRCDATA\\trcdata.run";
constexpr const char* kDefaultOutputFile = "c:\\Trcout.txt";
// The title moving through the band.
constexpr const char* kTitleText = "K E S T R A N A   -   TRACK  GEOMETRY  INDEX  ANALYSER";

constexpr const char* kStyle = R"(
QLabel#Label14 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #123a6b, stop:1 #0b2546);
                 border-radius: 4px; }
QLabel#Label22 { color: #ffd54a; background: transparent; }
QLabel#Label19 { color: #123a6b; }
QLabel#lblsection { color: #123a6b; font-weight: bold; }
QLabel#lblavgtgi { font-weight: bold; }
QLabel#Label18 { color: #123a6b; font-weight: bold; }
QGroupBox { font-weight: bold; color: #123a6b; border: 1px solid #b7c5d9; border-radius: 5px;
            margin-top: 8px; padding-top: 4px; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }
QPushButton { padding: 3px 10px; }
QLineEdit[readOnly="true"] { background: #eef2f7; }
)";

QString mappedDefault(const char* designPath) {
    return QDir::toNativeSeparators(platform::fromPath(kestrana::platform::mapDesignPath(designPath)));
}

QLineEdit* textBox(QWidget* parent, const char* name, const QString& text = {}) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(QString::fromLatin1(name));
    return box;
}

// A box that only shows what PROCESS DATA found.
QLineEdit* shownBox(QWidget* parent, const char* name) {
    QLineEdit* box = textBox(parent, name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, const char* accessibleName) {
    auto* command = new QPushButton(QString::fromLatin1(caption), parent);
    command->setObjectName(QString::fromLatin1(name));
    command->setAccessibleName(QString::fromLatin1(accessibleName));
    // Enter on a focused button presses it, as Space does.
    command->setAutoDefault(true);
    return command;
}

// Captions come from the run file and the core as they stand: never read as markup.
QLabel* label(QWidget* parent, const char* name, const QString& caption = {}) {
    auto* shown = new QLabel(caption, parent);
    shown->setObjectName(QString::fromLatin1(name));
    shown->setTextFormat(Qt::PlainText);
    return shown;
}

// A caption beside a text box, naming the box for screen readers too.
QLabel* caption(QWidget* parent, const char* text, QLineEdit* box) {
    auto* shown = new QLabel(QString::fromLatin1(text), parent);
    shown->setTextFormat(Qt::PlainText);
    shown->setBuddy(box);
    box->setAccessibleDescription(shown->text().simplified());
    return shown;
}

platform::ListBox* listBox(QWidget* parent, const char* name) {
    auto* list = new platform::ListBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setAccessibleName(QString::fromLatin1(name));
    return list;
}

} // namespace

void form1::buildControls() {
    setStyleSheet(QString::fromLatin1(kStyle));

    Label14 = label(this, "Label14");
    Label22 = label(Label14, "Label22", QString::fromLatin1(kTitleText));
    Label22->setFont(platform::designFont(QStringLiteral("Arial Black"), 13));
    Label22->adjustSize();
    Label14->setFixedHeight(Label22->height() + 8);
    Label19 = label(this, "Label19");
    QFont credit = Label19->font();
    credit.setItalic(true);
    Label19->setFont(credit);

    Text1 = textBox(this, "Text1", mappedDefault(kDefaultRunFile));
    Command8 = button(this, "Command8", "Browse", "Browse for the run file");
    Text2 = textBox(this, "Text2", mappedDefault(kDefaultOutputFile));
    Command9 = button(this, "Command9", "Browse", "Browse for the SD output file");
    Command1 = button(this, "Command1", "PROCESS DATA", "Process data");

    txtrundate = shownBox(this, "txtrundate");
    txtrunno = shownBox(this, "txtrunno");
    lblsection = label(this, "lblsection");
    lblsection->setTextInteractionFlags(Qt::TextSelectableByMouse);
    txtkmfrom = shownBox(this, "txtkmfrom");
    txtkmto = shownBox(this, "txtkmto");
    txtskm = textBox(this, "txtskm");
    txtekm = textBox(this, "txtekm");

    Command2 = button(this, "Command2", "PROCESS INFORMATION", "Process information");
    Label3 = label(this, "Label3", platform::fromCore(core::kBandCaptionPrefixes[0]));
    Label4 = label(this, "Label4", platform::fromCore(core::kBandCaptionPrefixes[1]));
    Label5 = label(this, "Label5", platform::fromCore(core::kBandCaptionPrefixes[2]));
    Label6 = label(this, "Label6", platform::fromCore(core::kBandCaptionPrefixes[3]));
    Label7 = label(this, "Label7", platform::fromCore(core::kNonRecordedCaptionPrefix));
    lblavgtgi = label(this, "lblavgtgi", platform::fromCore(core::kAverageCaptionPrefix));
    Command7 = button(this, "Command7", "PRINT GRAPH", "Print graph");

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setAccessibleName(QStringLiteral("Index"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view name : core::kIndexNames)
        Combo1->addItem(platform::fromCore(name));
    Combo1->setCurrentIndex(0);
    Text3 = textBox(this, "Text3", QStringLiteral("1"));
    Text4 = textBox(this, "Text4", QStringLiteral("35"));
    Command3 = button(this, "Command3", "SHOW     DETAILS", "Show details");
    List2 = listBox(this, "List2");
    List1 = listBox(this, "List1");
    MSChart1 = new platform::BarChart(this);
    MSChart1->setObjectName(QStringLiteral("MSChart1"));
    MSChart1->setAccessibleName(QStringLiteral("Quality distribution chart"));
    Command5 = button(this, "Command5", "PRINT   DETAILS", "Print details");
    Command10 = button(this, "Command10", "SAVE DETAILS", "Save details");
    List3 = listBox(this, "List3");
    List4 = listBox(this, "List4");
    List2->headOver(List1);
    List3->headOver(List4);
    MSChart1->setFocusPolicy(Qt::NoFocus);

    Text5 = textBox(this, "Text5", QStringLiteral("1"));
    Text6 = textBox(this, "Text6", QStringLiteral("100"));
    Command4 =
        button(this, "Command4", "CALC TRACK % BETWEEN TGIs", "Calculate track percentage between TGIs");
    Label18 = label(this, "Label18");
    Label18->setWordWrap(true);
    Label18->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Command6 = button(this, "Command6", "  GO TO    MAIN", "Go to main menu");

    Timer1 = platform::designTimer(this, "Timer1", kTitleIntervalMs);
    Timer2 = platform::designTimer(this, "Timer2", kCreditIntervalMs);
}

void form1::buildLayout() {
    // Left: the run file, its header data, the range and the quality figures.
    auto* files = new QGroupBox(QStringLiteral("Run"), this);
    auto* filesGrid = new QGridLayout(files);
    filesGrid->setVerticalSpacing(3);
    filesGrid->addWidget(caption(files, "Input File-TRC- (with full path)", Text1), 0, 0, 1, 2);
    filesGrid->addWidget(Text1, 1, 0);
    filesGrid->addWidget(Command8, 1, 1);
    filesGrid->addWidget(caption(files, "Output File - SD -  (with full path)", Text2), 2, 0, 1, 2);
    filesGrid->addWidget(Text2, 3, 0);
    filesGrid->addWidget(Command9, 3, 1);
    filesGrid->addWidget(Command1, 4, 0, 1, 2);

    auto* header = new QGridLayout;
    header->setVerticalSpacing(3);
    header->addWidget(caption(files, "      Date of Recording", txtrundate), 0, 0);
    header->addWidget(txtrundate, 0, 1);
    header->addWidget(caption(files, "  Run Number", txtrunno), 1, 0);
    header->addWidget(txtrunno, 1, 1);
    header->addWidget(lblsection, 2, 0, 1, 3);
    header->addWidget(caption(files, "Recording Starts at KM", txtkmfrom), 3, 0);
    header->addWidget(txtkmfrom, 3, 1);
    header->addWidget(caption(files, "  Recording Ends at KM", txtkmto), 4, 0);
    header->addWidget(txtkmto, 4, 1);
    header->setColumnStretch(2, 1);
    for (QLineEdit* shown : {txtrundate, txtrunno, txtkmfrom, txtkmto})
        shown->setFixedWidth(96);
    filesGrid->addLayout(header, 5, 0, 1, 2);

    auto* quality = new QGroupBox(QStringLiteral("Quality distribution"), this);
    auto* qualityBox = new QVBoxLayout(quality);
    qualityBox->setSpacing(3);
    auto* range = new QHBoxLayout;
    range->addWidget(caption(quality, "Starting KM", txtskm));
    range->addWidget(txtskm, 1);
    range->addWidget(caption(quality, "Ending KM", txtekm));
    range->addWidget(txtekm, 1);
    qualityBox->addLayout(range);
    qualityBox->addWidget(Command2);
    for (QLabel* figure : {Label3, Label4, Label5, Label6, Label7, lblavgtgi})
        qualityBox->addWidget(figure);
    qualityBox->addWidget(Command7);

    auto* share = new QGroupBox(QStringLiteral("Track share"), this);
    auto* shareGrid = new QGridLayout(share);
    shareGrid->setVerticalSpacing(3);
    shareGrid->addWidget(caption(share, "TGI VALUE (Low)", Text5), 0, 0);
    shareGrid->addWidget(Text5, 0, 1);
    shareGrid->addWidget(Text6, 0, 2);
    shareGrid->addWidget(caption(share, "TGI VALUE (High)", Text6), 0, 3);
    shareGrid->addWidget(Command4, 1, 0, 1, 4);
    shareGrid->addWidget(Label18, 2, 0, 1, 4);

    auto* left = new QVBoxLayout;
    left->setSpacing(6);
    left->addWidget(files);
    left->addWidget(quality);
    left->addWidget(share);
    left->addStretch(1);
    left->addWidget(Command6);

    // Right: the listing with its choice of index and bounds, the chart in the listing's place,
    // and the raw data of the block picked in the listing.
    auto* listing = new QGroupBox(QStringLiteral("Blocks"), this);
    auto* listingBox = new QVBoxLayout(listing);
    listingBox->setSpacing(4);
    auto* choice = new QHBoxLayout;
    choice->addWidget(label(listing, "lblDetailedFor", QStringLiteral("DETAILED  INFORMATION  FOR")));
    choice->addWidget(Combo1);
    choice->addWidget(label(listing, "lblBetween", QStringLiteral("TGI  BETWEEN")));
    choice->addSpacing(8);
    choice->addWidget(caption(listing, "LOW", Text3));
    choice->addWidget(Text3);
    choice->addWidget(label(listing, "lblAnd", QStringLiteral("and")));
    choice->addWidget(Text4);
    choice->addWidget(caption(listing, "HIGH", Text4));
    choice->addStretch(1);
    listingBox->addLayout(choice);
    // The listing's three operations side by side above it.
    auto* operations = new QHBoxLayout;
    operations->addWidget(Command3);
    operations->addWidget(Command5);
    operations->addWidget(Command10);
    operations->addStretch(1);
    listingBox->addLayout(operations);
    List2->setFixedHeight(List2->heightForRows(1));
    listingBox->addWidget(List2);
    listingArea = new QStackedWidget(listing);
    listingArea->setObjectName(QStringLiteral("listingArea"));
    listingArea->addWidget(List1);
    listingArea->addWidget(MSChart1);
    listingArea->setCurrentWidget(MSChart1);
    listingBox->addWidget(listingArea, 1);

    auto* raw = new QGroupBox(QStringLiteral("Recorded values of the picked block"), this);
    auto* rawBox = new QVBoxLayout(raw);
    rawBox->setSpacing(2);
    List3->setFixedHeight(List3->heightForRows(1));
    List4->setFixedHeight(List4->heightForRows(3));
    rawBox->addWidget(List3);
    rawBox->addWidget(List4);

    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    right->addWidget(listing, 1);
    right->addWidget(raw);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(8);
    columns->addLayout(left, 0);
    columns->addLayout(right, 1);

    auto* screen = new QVBoxLayout(this);
    screen->setContentsMargins(8, 6, 8, 6);
    screen->setSpacing(4);
    screen->addWidget(Label14);
    screen->addWidget(Label19);
    screen->addLayout(columns, 1);

    for (QLineEdit* bound : {Text3, Text4, Text5, Text6})
        bound->setFixedWidth(56);
    for (QLineEdit* km : {txtskm, txtekm})
        km->setFixedWidth(80);
    Text1->setMinimumWidth(220);
}

void form1::setTabOrderAsSeen() {
    const std::vector<QWidget*> order = {Text1,    Command8, Text2,    Command9, Command1,  txtskm,   txtekm,
                                         Command2, Command7, Text5,    Text6,    Command4,  Command6, Combo1,
                                         Text3,    Text4,    Command3, Command5, Command10, List1,    List4};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

} // namespace kestrana::gui::analyser
