// The controls of the peak analyser screen with their design texts and faces, and where they stand:
// the title band on top, the run file, the processed run, the query, the result columns under their
// header, the summary, and GO TO MAIN at the foot. Laid out for 1024 x 768; the result columns take
// whatever room a larger display gives.
#include "gui/peaks/tgi_form6.h"

#include "gui/platform/screen_setup.h"
#include "gui/platform/fonts.h"
#include "gui/platform/qt_text.h"
#include "peaks/parameters.h"
#include "peaks/texts.h"
#include "platform/paths.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSizePolicy>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrana::gui::peaks {

namespace {

namespace core = kestrana::peaks;
using platform::fromCore;

const QString kSansSerif = QStringLiteral("MS Sans Serif");
constexpr double kControlPoints = 9.5;

QLabel* newLabel(QWidget* parent, const char* name, const QString& text = QString()) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(platform::designFont(kSansSerif, kControlPoints));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLineEdit* newTextBox(QWidget* parent, const char* name, const QString& text = QString()) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setFont(platform::designFont(kSansSerif, kControlPoints));
    return box;
}

QPushButton* newButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setFont(platform::designFont(kSansSerif, kControlPoints, true));
    button->setMinimumHeight(30);
    // Enter on a focused button presses it, as Space does.
    button->setAutoDefault(true);
    return button;
}

} // namespace

void tgi_form6::buildControls() {
    Label10 = newLabel(this, "Label10");
    Label10->setFrameShape(QFrame::Panel);
    Label10->setFrameShadow(QFrame::Sunken);
    Label10->setAutoFillBackground(true);
    Label10->setStyleSheet(QStringLiteral("QLabel#Label10 { background: #0b2e59; }"));
    Label10->setFixedHeight(40);
    Label11 = new QLabel(fromCore(core::kScreenTitle), Label10);
    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->setFont(platform::designFont(QStringLiteral("Bookman Old Style"), 18, true));
    Label11->setStyleSheet(QStringLiteral("color: #ffd24a;"));
    Label11->adjustSize();

    Label1 = newLabel(this, "Label1", QStringLiteral("Input File  TRC"));
    const std::string home = kestrana::platform::homeFolder();
    Text1 = newTextBox(this, "Text1",
                       platform::fromPath(kestrana::platform::mapDesignPath(core::kDefaultRunPath, home)));
    Command4 = newButton(this, "Command4", QStringLiteral("BROWSE"));
    Command1 = newButton(this, "Command1", QStringLiteral("PROCESS DATA"));

    Label7 = newLabel(this, "Label7");
    Label8 = newLabel(this, "Label8");
    Label9 = newLabel(this, "Label9");
    for (QLabel* label : {Label7, Label8, Label9}) {
        label->setFont(platform::designFont(kSansSerif, 10.5, true));
        label->setStyleSheet(QStringLiteral("color: #0b2e59;"));
    }

    Label2[0] = newLabel(this, "Label2_0", QStringLiteral("Parameter"));
    Label2[1] = newLabel(this, "Label2_1", QStringLiteral("Parameter Limiting Value"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setFont(platform::designFont(kSansSerif, kControlPoints));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& name : core::comboParameterNames())
        Combo1->addItem(fromCore(name));
    Combo1->setEditText(fromCore(core::kDefaultParameter));
    Combo1->setMinimumWidth(90);
    Text2 = newTextBox(this, "Text2", fromCore(core::kDefaultLimit));
    Label3[0] = newLabel(this, "Label3_0", QStringLiteral("Km - From"));
    Label3[1] = newLabel(this, "Label3_1", QStringLiteral("Km - to"));
    Text3[0] = newTextBox(this, "Text3_0");
    Text3[1] = newTextBox(this, "Text3_1");
    for (QLineEdit* box : {Text2, Text3[0], Text3[1]})
        box->setMaximumWidth(80);
    Command2 = newButton(this, "Command2", QStringLiteral("SHOW DETAILS"));
    Command3 = newButton(this, "Command3", QStringLiteral("PRINT DETAILS"));
    Command5 = newButton(this, "Command5", QStringLiteral("   GO TO    MAIN"));

    Label4 = new QLabel(fromCore(core::kColumnHeaderCaption));
    Label4->setObjectName(QStringLiteral("Label4"));
    for (int i = 0; i < kColumnLists; ++i) {
        List1[static_cast<std::size_t>(i)] = new platform::ListBox;
        List1[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("List1_%1").arg(i));
    }
    columnArea_ = new ColumnArea(this);
    columnArea_->setColumns(Label4, List1);

    Label5 = newLabel(this, "Label5");
    Label6 = newLabel(this, "Label6");
    for (QLabel* label : {Label5, Label6})
        label->setFont(platform::designFont(kSansSerif, 10.5, true));

    Label12 = newLabel(this, "Label12");
    Label12->setFont(platform::designFont(kSansSerif, 11, true));
    Label12->setStyleSheet(QStringLiteral("color: #b00020;"));
    // The wait label keeps its room while hidden, so showing it moves nothing else.
    QSizePolicy keepRoom = Label12->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    Label12->setSizePolicy(keepRoom);
    Label12->setMinimumWidth(320);
    Label12->hide();

    Text4 = newTextBox(this, "Text4");
    Text4->hide();

    Timer1 = platform::designTimer(this, "Timer1", kTitleIntervalMs);
}

void tgi_form6::buildLayout() {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(8, 6, 8, 6);
    page->setSpacing(6);
    page->addWidget(Label10);

    auto* input = new QHBoxLayout;
    input->addWidget(Label1);
    input->addWidget(Text1, 1);
    input->addWidget(Command4);
    input->addSpacing(12);
    input->addWidget(Command1);
    page->addLayout(input);

    auto* run = new QHBoxLayout;
    run->addWidget(Label7, 3);
    run->addWidget(Label8, 1);
    run->addWidget(Label9, 1);
    run->addWidget(Label12, 2);
    page->addLayout(run);

    auto* query = new QHBoxLayout;
    query->addWidget(Label2[0]);
    query->addWidget(Combo1);
    query->addSpacing(10);
    query->addWidget(Label2[1]);
    query->addWidget(Text2);
    query->addSpacing(10);
    query->addWidget(Label3[0]);
    query->addWidget(Text3[0]);
    query->addWidget(Label3[1]);
    query->addWidget(Text3[1]);
    query->addStretch(1);
    query->addWidget(Command2);
    query->addWidget(Command3);
    page->addLayout(query);

    page->addWidget(columnArea_, 1);

    auto* foot = new QGridLayout;
    foot->addWidget(Label5, 0, 0);
    foot->addWidget(Label6, 1, 0);
    foot->addWidget(Command5, 0, 1, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    foot->setColumnStretch(0, 1);
    page->addLayout(foot);
    page->addWidget(Text4);

    setTabOrder(Text1, Command4);
    setTabOrder(Command4, Command1);
    setTabOrder(Command1, Combo1);
    setTabOrder(Combo1, Text2);
    setTabOrder(Text2, Text3[0]);
    setTabOrder(Text3[0], Text3[1]);
    setTabOrder(Text3[1], Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command5);
}

} // namespace kestrana::gui::peaks
