#include "gui/app/frmmain.h"

#include "gui/app/menu_art.h"
#include "gui/app/menu_texts.h"
#include "gui/app/navigator.h"
#include "gui/platform/fonts.h"
#include "gui/platform/help.h"
#include "gui/platform/message_box.h"
#include "gui/platform/qt_text.h"
#include "gui/platform/resolution_switch.h"
#include "gui/platform/screen_setup.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace kestrana::gui::app {

namespace {

using platform::designFont;
using platform::fromCore;

constexpr int kBlinkIntervalMs = 350;

// The institution and credit labels are decoration only.
constexpr const char* kInstitution = "TRACK  RECORDING  AND  MONITORING  CELL";
constexpr const char* kAddress = "Permanent Way Directorate  -  Track Geometry Analysis Section";
constexpr const char* kCredit = "Kestrana " KESTRANA_VERSION "  -  analysis of track recording car runs";

// The display reports its size as a 16-bit whole number.
std::int16_t toInt16(int pixels) {
    return static_cast<std::int16_t>(std::clamp(pixels, -32768, 32767));
}

QPushButton* menuButton(QWidget* parent, const char* name, const char* caption, const QFont& font) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(font);
    button->setMinimumHeight(58);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

constexpr const char* kStyle = R"(
QWidget#frmmain { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
                               stop:0 #123a6b, stop:1 #0b2546); }
QLabel { color: #e9eef6; }
QLabel#Label5_0, QLabel#Label5_1 { color: #ffd54a; }
QLabel#Label1 { color: #ffffff; }
QLabel#Label3, QLabel#Command1Note, QLabel#Command2Note, QLabel#Command4Note, QLabel#historyButtonNote { color: #b9c8dd; }
QPushButton { background: #eef3fa; color: #123a6b; border: 2px solid #8fa9cc; border-radius: 8px;
              padding: 6px 18px; }
QPushButton:hover { background: #ffffff; border-color: #ffd54a; }
QPushButton:pressed { background: #d4e0f0; }
QPushButton#Command3 { color: #8a1c1c; }
QLineEdit#Text1 { background: #0b2546; color: #ffd54a; border: 1px solid #8fa9cc; padding: 2px 6px; }
)";

} // namespace

MenuState& frmmain::state() {
    static MenuState kept;
    return kept;
}

void frmmain::resetState() {
    state() = MenuState{};
}

frmmain::frmmain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmmain"));
    setWindowTitle(platform::kApplicationTitle + QStringLiteral(" " KESTRANA_VERSION));
    buildControls();
    platform::installHelp(this);
    Form_Load();
}

void frmmain::buildControls() {
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QString::fromLatin1(kStyle));

    auto* institution = new QLabel(QString::fromLatin1(kInstitution), this);
    institution->setObjectName(QStringLiteral("Label1"));
    institution->setFont(designFont(QStringLiteral("MS Sans Serif"), 13, true));
    institution->setAlignment(Qt::AlignCenter);
    auto* address = new QLabel(QString::fromLatin1(kAddress), this);
    address->setObjectName(QStringLiteral("Label2"));
    address->setFont(designFont(QStringLiteral("MS Sans Serif"), 10));
    address->setAlignment(Qt::AlignCenter);

    // The two faces of the title share one place; the timer shows them in turn.
    const QString title = QString::fromLatin1(menu_texts::kTitle);
    Label5[0] = new QLabel(title, this);
    Label5[0]->setObjectName(QStringLiteral("Label5_0"));
    Label5[0]->setFont(designFont(QStringLiteral("Palatino Linotype"), 30, true));
    Label5[1] = new QLabel(title, this);
    Label5[1]->setObjectName(QStringLiteral("Label5_1"));
    Label5[1]->setFont(designFont(QStringLiteral("MS Sans Serif"), 28, true));
    auto* titleCell = new QGridLayout;
    for (QLabel* face : Label5) {
        face->setAlignment(Qt::AlignCenter);
        face->setMinimumHeight(64);
        titleCell->addWidget(face, 0, 0);
    }
    Label5[1]->setVisible(false);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(trackPicture(QSize(460, 330)));
    Picture1->setFixedSize(460, 330);

    const QFont heavy = designFont(QStringLiteral("Arial Black"), 15);
    Command1 = menuButton(this, "Command1", menu_texts::kProductButton, heavy);
    Command2 = menuButton(this, "Command2", menu_texts::kComparatorButton, heavy);
    Command4 = menuButton(this, "Command4", menu_texts::kPeakButton, heavy);
    historyButton = menuButton(this, "historyButton", menu_texts::kHistoryButton, heavy);
    Command3 = menuButton(this, "Command3", menu_texts::kQuitButton,
                          designFont(QStringLiteral("MS Serif"), 15, true));
    connect(Command1, &QPushButton::clicked, this, &frmmain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmmain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmmain::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmmain::Command4_Click);
    connect(historyButton, &QPushButton::clicked, this, &frmmain::openTrackHistory);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    const std::array<std::pair<QPushButton*, const char*>, 4> screens{
        {{Command1, menu_texts::kProductNote},
         {Command2, menu_texts::kComparatorNote},
         {Command4, menu_texts::kPeakNote},
         {historyButton, menu_texts::kHistoryNote}}};
    for (const auto& [button, note] : screens) {
        auto* caption = new QLabel(QString::fromLatin1(note), this);
        caption->setObjectName(button->objectName() + QStringLiteral("Note"));
        caption->setFont(designFont(QStringLiteral("MS Sans Serif"), 9));
        caption->setAlignment(Qt::AlignCenter);
        buttons->addWidget(button);
        buttons->addWidget(caption);
        buttons->addSpacing(12);
    }
    buttons->addStretch(1);
    buttons->addWidget(Command3);

    auto* middle = new QHBoxLayout;
    middle->setSpacing(28);
    middle->addWidget(Picture1, 0, Qt::AlignTop);
    middle->addLayout(buttons, 1);

    Text1 = new QLineEdit(QString::fromLatin1(menu_texts::kHelpReminder), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setFont(designFont(QStringLiteral("MS Sans Serif"), 10, true));
    Text1->setReadOnly(true);
    Text1->setFocusPolicy(Qt::NoFocus);
    Text1->setFixedWidth(90);
    Text1->setAlignment(Qt::AlignCenter);
    auto* credit = new QLabel(QString::fromLatin1(kCredit), this);
    credit->setObjectName(QStringLiteral("Label3"));
    credit->setFont(designFont(QStringLiteral("MS Sans Serif"), 9));
    credit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Text1);
    bottom->addStretch(1);
    bottom->addWidget(credit);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(28, 18, 28, 14);
    page->setSpacing(10);
    page->addWidget(institution);
    page->addWidget(address);
    page->addLayout(titleCell);
    page->addSpacing(6);
    page->addLayout(middle, 1);
    page->addSpacing(6);
    page->addLayout(bottom);

    Timer1 = platform::designTimer(this, "Timer1", kBlinkIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &frmmain::Timer1_Timer);
    Timer1->start();

    setFixedSize(880, 620);
    if (const QScreen* display = screen())
        centreIn(display->availableGeometry());
}

void frmmain::centreIn(const QRect& area) {
    move(area.center() - rect().center());
}

void frmmain::Form_Load() {
    MenuState& kept = state();
    const QSize size = platform::ResolutionSwitch::displaySize();
    kept.savedHeight = toInt16(size.height());
    kept.savedWidth = toInt16(size.width());
    if (kept.savedHeight == menu_texts::kDesignHeight && kept.savedWidth == menu_texts::kDesignWidth)
        return;
    const platform::MessageAnswer answer = platform::MessageBox::question(
        this, fromCore(menu_texts::displayQuestion(kept.savedWidth, kept.savedHeight)));
    if (answer == platform::MessageAnswer::Yes) {
        kept.answer = QString::fromLatin1(menu_texts::kAnswerYes);
        const QSize designSize(menu_texts::kDesignWidth, menu_texts::kDesignHeight);
        if (!platform::ResolutionSwitch::apply(designSize)) {
            platform::MessageBox::information(this, QString::fromLatin1(menu_texts::kSwitchFailed));
        } else if (const QScreen* display = screen()) {
            // The menu was centred on the larger display; the window system may not have told Qt of
            // the new size yet, so it is centred on the switched size itself.
            centreIn(QRect(display->geometry().topLeft(), designSize));
        }
    } else {
        kept.answer = QString::fromLatin1(menu_texts::kAnswerNo);
        platform::MessageBox::information(this, QString::fromLatin1(menu_texts::kNoSwitchWarning));
    }
}

void frmmain::Command1_Click() {
    Navigator::show(Screen::Analyser);
}

void frmmain::Command2_Click() {
    Navigator::show(Screen::Comparator);
}

void frmmain::Command4_Click() {
    Navigator::show(Screen::PeakAnalyser);
}

void frmmain::openTrackHistory() {
    Navigator::show(Screen::TrackHistory);
}

// Quit: closing the menu restores the display (closeEvent); the program ends with its last screen.
void frmmain::Command3_Click() {
    close();
}

void frmmain::Timer1_Timer() {
    Label5[1]->setVisible(Label5[1]->isHidden());
    Label5[0]->setVisible(Label5[0]->isHidden());
}

// Quit and the window's own close control both come here, so the display is put back either way:
// a user who closes the menu by its title bar must not be left at 1024 x 768.
void frmmain::closeEvent(QCloseEvent* event) {
    restoreDisplay();
    QWidget::closeEvent(event);
}

// The outcome of the switch back is not examined.
void frmmain::restoreDisplay() {
    const MenuState& kept = state();
    if (kept.answer == QLatin1String(menu_texts::kAnswerYes))
        platform::ResolutionSwitch::apply(QSize(kept.savedWidth, kept.savedHeight));
}

} // namespace kestrana::gui::app
