// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/app/main_menu.h"

#include "gui/app/menu_art.h"
#include "gui/app/menu_texts.h"
#include "gui/app/navigator.h"
#include "gui/services/help.h"
#include "gui/services/message_box.h"
#include "gui/services/resolution_switch.h"
#include "gui/services/settings.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/screen_setup.h"

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

using widgets::designFont;
using widgets::fromCore;

constexpr int kBlinkIntervalMs = 350;

// The institution and credit labels are decoration only.
constexpr const char* kInstitution =
    QT_TRANSLATE_NOOP("kestrana::gui::app::MainMenu", "TRACK  RECORDING  AND  MONITORING  CELL");
constexpr const char* kAddress = QT_TRANSLATE_NOOP(
    "kestrana::gui::app::MainMenu", "Permanent Way Directorate  -  Track Geometry Analysis Section");
// %1: the program's version.
constexpr const char* kCredit =
    QT_TRANSLATE_NOOP("kestrana::gui::app::MainMenu", "Kestrana %1  -  analysis of track recording car runs");

// The display reports its size as a 16-bit whole number.
std::int16_t toInt16(int pixels) {
    return static_cast<std::int16_t>(std::clamp(pixels, -32768, 32767));
}

QPushButton* menuButton(QWidget* parent, const char* name, const char* caption, const QFont& font) {
    auto* button = new QPushButton(MainMenu::tr(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFont(font);
    button->setMinimumHeight(58);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

MenuState& MainMenu::state() {
    static MenuState kept;
    return kept;
}

void MainMenu::resetState() {
    state() = MenuState{};
}

MainMenu::MainMenu(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MainMenu"));
    setWindowTitle(widgets::windowTitle(tr("Main Menu")));
    buildControls();
    services::installHelp(this, QStringLiteral("menu"));
    load();
}

namespace {

// The institution and its address over the title, whose two faces share one place; the blink timer
// shows them in turn.
struct Heading {
    QLabel* institution = nullptr;
    QLabel* address = nullptr;
    QGridLayout* titleCell = nullptr;
};

Heading buildHeading(MainMenu& menu) {
    Heading heading;
    heading.institution = new QLabel(MainMenu::tr(kInstitution), &menu);
    heading.institution->setObjectName(QStringLiteral("institutionLabel"));
    heading.institution->setFont(designFont(QStringLiteral("MS Sans Serif"), 13, true));
    heading.institution->setAlignment(Qt::AlignCenter);
    heading.address = new QLabel(MainMenu::tr(kAddress), &menu);
    heading.address->setObjectName(QStringLiteral("addressLabel"));
    heading.address->setFont(designFont(QStringLiteral("MS Sans Serif"), 10));
    heading.address->setAlignment(Qt::AlignCenter);

    const QString title = MainMenu::tr(menu_texts::kTitle);
    menu.titleFaces[0] = new QLabel(title, &menu);
    menu.titleFaces[0]->setObjectName(QStringLiteral("titleFaces_0"));
    menu.titleFaces[0]->setFont(designFont(QStringLiteral("Palatino Linotype"), 30, true));
    menu.titleFaces[1] = new QLabel(title, &menu);
    menu.titleFaces[1]->setObjectName(QStringLiteral("titleFaces_1"));
    menu.titleFaces[1]->setFont(designFont(QStringLiteral("MS Sans Serif"), 28, true));
    heading.titleCell = new QGridLayout;
    for (QLabel* face : menu.titleFaces) {
        face->setAlignment(Qt::AlignCenter);
        face->setMinimumHeight(64);
        heading.titleCell->addWidget(face, 0, 0);
    }
    menu.titleFaces[1]->setVisible(false);
    return heading;
}

// A button for each screen with its note under it, and QUIT at the foot.
QVBoxLayout* buildScreenButtons(MainMenu& menu) {
    const QFont heavy = designFont(QStringLiteral("Arial Black"), 15);
    menu.analyserButton = menuButton(&menu, "analyserButton", menu_texts::kProductButton, heavy);
    menu.comparatorButton = menuButton(&menu, "comparatorButton", menu_texts::kComparatorButton, heavy);
    menu.peakAnalyserButton = menuButton(&menu, "peakAnalyserButton", menu_texts::kPeakButton, heavy);
    menu.historyButton = menuButton(&menu, "historyButton", menu_texts::kHistoryButton, heavy);
    menu.quitButton = menuButton(&menu, "quitButton", menu_texts::kQuitButton,
                                 designFont(QStringLiteral("MS Serif"), 15, true));

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(4);
    const std::array<std::pair<QPushButton*, const char*>, 4> screens{
        {{menu.analyserButton, menu_texts::kProductNote},
         {menu.comparatorButton, menu_texts::kComparatorNote},
         {menu.peakAnalyserButton, menu_texts::kPeakNote},
         {menu.historyButton, menu_texts::kHistoryNote}}};
    for (const auto& [button, note] : screens) {
        auto* caption = new QLabel(MainMenu::tr(note), &menu);
        caption->setObjectName(button->objectName() + QStringLiteral("Note"));
        caption->setFont(designFont(QStringLiteral("MS Sans Serif"), 9));
        caption->setAlignment(Qt::AlignCenter);
        caption->setWordWrap(true); // a long note takes two lines rather than widening the menu
        buttons->addWidget(button);
        buttons->addWidget(caption);
        buttons->addSpacing(12);
    }
    buttons->addStretch(1);
    buttons->addWidget(menu.quitButton);
    return buttons;
}

// The help reminder at the left of the foot, the credit line at its right.
QHBoxLayout* buildFoot(MainMenu& menu) {
    menu.helpHintEdit = new QLineEdit(MainMenu::tr(menu_texts::kHelpReminder), &menu);
    menu.helpHintEdit->setObjectName(QStringLiteral("helpHintEdit"));
    menu.helpHintEdit->setFont(designFont(QStringLiteral("MS Sans Serif"), 10, true));
    menu.helpHintEdit->setReadOnly(true);
    menu.helpHintEdit->setAccessibleName(MainMenu::tr("Press F1 for help"));
    menu.helpHintEdit->setFocusPolicy(Qt::NoFocus);
    menu.helpHintEdit->setFixedWidth(90);
    menu.helpHintEdit->setAlignment(Qt::AlignCenter);
    auto* credit = new QLabel(MainMenu::tr(kCredit).arg(QStringLiteral(KESTRANA_VERSION)), &menu);
    credit->setObjectName(QStringLiteral("creditLabel"));
    credit->setFont(designFont(QStringLiteral("MS Sans Serif"), 9));
    credit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(menu.helpHintEdit);
    bottom->addStretch(1);
    bottom->addWidget(credit);
    return bottom;
}

} // namespace

void MainMenu::buildControls() {
    setAttribute(Qt::WA_StyledBackground);
    widgets::applyStyle(this);

    const Heading heading = buildHeading(*this);

    pictureBox = new QLabel(this);
    pictureBox->setObjectName(QStringLiteral("pictureBox"));
    pictureBox->setPixmap(trackPicture(QSize(460, 330)));
    pictureBox->setFixedSize(460, 330);

    QVBoxLayout* buttons = buildScreenButtons(*this);
    widgets::connectClicks(this, {{analyserButton, &MainMenu::openAnalyser},
                                  {comparatorButton, &MainMenu::openComparator},
                                  {quitButton, &MainMenu::quit},
                                  {peakAnalyserButton, &MainMenu::openPeakAnalyser},
                                  {historyButton, &MainMenu::openTrackHistory}});

    auto* middle = new QHBoxLayout;
    middle->setSpacing(28);
    middle->addWidget(pictureBox, 0, Qt::AlignTop);
    middle->addLayout(buttons, 1);

    QHBoxLayout* bottom = buildFoot(*this);

    auto* page = new QVBoxLayout(widgets::scrollingPage(this));
    page->setContentsMargins(28, 18, 28, 14);
    page->setSpacing(10);
    page->addWidget(heading.institution);
    page->addWidget(heading.address);
    page->addLayout(heading.titleCell);
    page->addSpacing(6);
    page->addLayout(middle, 1);
    page->addSpacing(6);
    page->addLayout(bottom);

    blinkTimer = widgets::designTimer(this, "blinkTimer", kBlinkIntervalMs);
    connect(blinkTimer, &QTimer::timeout, this, &MainMenu::blinkTitle);
    blinkTimer->start();

    setFixedSize(kMenuSize);
    if (const QScreen* display = screen())
        centreIn(display->availableGeometry());
}

// On a display smaller than the menu the window is cut to the display and its page scrolls, so
// no part of it lies off screen.
void MainMenu::centreIn(const QRect& area) {
    const QRect place = widgets::placedInside(kMenuSize, area);
    setFixedSize(place.size());
    move(place.topLeft());
}

namespace {

// Where the answer of a "Don't ask again" display question is kept.
const QString kDisplayAnswerSetting = QStringLiteral("MainMenu/displayAnswer");

// The screens fit a display of the designed size or larger one; only a smaller one is worth a switch.
bool displayLargeEnough(QSize size) {
    return size.width() >= menu_texts::kDesignWidth && size.height() >= menu_texts::kDesignHeight;
}

} // namespace

void MainMenu::load() {
    MenuState& kept = state();
    const QSize size = services::ResolutionSwitch::displaySize();
    kept.savedHeight = toInt16(size.height());
    kept.savedWidth = toInt16(size.width());
    if (displayLargeEnough(size) || !services::ResolutionSwitch::canSwitch())
        return;
    // An answer the user asked us to keep stands for the question, and brings no warning again.
    const QString keptAnswer = services::storedText(kDisplayAnswerSetting);
    if (keptAnswer == QLatin1String(menu_texts::kAnswerNo)) {
        kept.answer = keptAnswer;
        return;
    }
    if (keptAnswer == QLatin1String(menu_texts::kAnswerYes)) {
        kept.answer = keptAnswer;
        switchToDesignSize();
        return;
    }
    const services::QuestionReply reply = services::MessageBox::questionOnce(
        this, tr(menu_texts::kDisplayQuestion).arg(kept.savedWidth).arg(kept.savedHeight));
    if (reply.answer == services::MessageAnswer::Yes) {
        kept.answer = QString::fromLatin1(menu_texts::kAnswerYes);
        switchToDesignSize();
    } else {
        kept.answer = QString::fromLatin1(menu_texts::kAnswerNo);
        services::MessageBox::information(this, tr(menu_texts::kNoSwitchWarning));
    }
    if (reply.dontAskAgain)
        services::storeText(kDisplayAnswerSetting, kept.answer);
}

void MainMenu::switchToDesignSize() {
    const QSize designSize(menu_texts::kDesignWidth, menu_texts::kDesignHeight);
    if (!services::ResolutionSwitch::apply(designSize)) {
        services::MessageBox::information(this, tr(menu_texts::kSwitchFailed));
    } else if (const QScreen* display = screen()) {
        // The menu was centred on the larger display; the window system may not have told Qt of
        // the new size yet, so it is centred on the switched size itself.
        centreIn(QRect(display->geometry().topLeft(), designSize));
    }
}

void MainMenu::openAnalyser() {
    Navigator::show(Screen::Analyser);
}

void MainMenu::openComparator() {
    Navigator::show(Screen::Comparator);
}

void MainMenu::openPeakAnalyser() {
    Navigator::show(Screen::PeakAnalyser);
}

void MainMenu::openTrackHistory() {
    Navigator::show(Screen::TrackHistory);
}

// Quit: closing the menu restores the display (closeEvent); the program ends with its last screen.
void MainMenu::quit() {
    close();
}

void MainMenu::blinkTitle() {
    titleFaces[1]->setVisible(titleFaces[1]->isHidden());
    titleFaces[0]->setVisible(titleFaces[0]->isHidden());
}

// Quit and the window's own close control both come here, so the display is put back either way:
// a user who closes the menu by its title bar must not be left at 1024 x 768.
void MainMenu::closeEvent(QCloseEvent* event) {
    restoreDisplay();
    QWidget::closeEvent(event);
}

// The outcome of the switch back is not examined.
void MainMenu::restoreDisplay() {
    const MenuState& kept = state();
    if (kept.answer == QLatin1String(menu_texts::kAnswerYes))
        services::ResolutionSwitch::apply(QSize(kept.savedWidth, kept.savedHeight));
}

} // namespace kestrana::gui::app
