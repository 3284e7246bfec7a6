// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The controls of the peak analyser screen with their design texts and faces, and where they stand:
// the title band on top, the run file, the processed run, the query, the result columns under their
// header, the summary, and GO TO MAIN at the foot. Laid out for 1024 x 768; the result columns take
// whatever room a larger display gives.
#include "gui/peaks/peak_screen.h"

#include "core/common/paths.h"
#include "core/peaks/parameters.h"
#include "core/peaks/texts.h"
#include "gui/services/screen_memory.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/screen_setup.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSizePolicy>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace kestrana::gui::peaks {

namespace {

namespace core = kestrana::peaks;
using widgets::fromCore;

const QString kSansSerif = QStringLiteral("MS Sans Serif");
constexpr double kControlPoints = 9.5;

// The controls in the screen's face.
QLabel* newLabel(QWidget* parent, const char* name, const QString& text = QString()) {
    QLabel* label = widgets::makeLabel(parent, QLatin1String(name), text);
    label->setFont(widgets::designFont(kSansSerif, kControlPoints));
    return label;
}

QLineEdit* newTextBox(QWidget* parent, const char* name, const QString& text = QString()) {
    QLineEdit* box = widgets::makeTextBox(parent, QLatin1String(name), text);
    box->setFont(widgets::designFont(kSansSerif, kControlPoints));
    return box;
}

QPushButton* newButton(QWidget* parent, const char* name, const QString& caption) {
    QPushButton* button = widgets::makeButton(parent, QLatin1String(name), caption);
    button->setFont(widgets::designFont(kSansSerif, kControlPoints, true));
    button->setMinimumHeight(30);
    return button;
}

} // namespace

void PeakScreen::buildControls() {
    // The title starts at the band's right end.
    titleBand = new widgets::TitleBand(
        fromCore(core::kScreenTitle),
        [](int bandTwips, int titleTwips) { return std::max(0, bandTwips - titleTwips); }, this);
    titleBand->setFont(widgets::designFont(kSansSerif, kControlPoints));
    titleBand->setFrameShape(QFrame::Panel);
    titleBand->setFrameShadow(QFrame::Sunken);
    titleBand->setAutoFillBackground(true);
    titleBand->setFixedHeight(40);
    titleLabel = titleBand->title();
    titleLabel->setFont(widgets::designFont(QStringLiteral("Bookman Old Style"), 18, true));
    titleLabel->adjustSize();

    runFileLabel = newLabel(this, "runFileLabel", tr("Input File  TRC"));
    const std::string home = kestrana::common::homeFolder();
    runFileEdit = newTextBox(this, "runFileEdit",
                             widgets::fromPath(kestrana::common::mapDesignPath(core::kDefaultRunPath, home)));
    browseButton = newButton(this, "browseButton", tr("BROWSE"));
    recentRunFilesButton =
        services::makeRecentFilesButton(this, runFileEdit, QStringLiteral("recentRunFilesButton"));
    processDataButton = newButton(this, "processDataButton", tr("PROCESS DATA"));

    sectionLabel = newLabel(this, "sectionLabel");
    runDateLabel = newLabel(this, "runDateLabel");
    kmRangeLabel = newLabel(this, "kmRangeLabel");
    for (QLabel* label : {sectionLabel, runDateLabel, kmRangeLabel})
        label->setFont(widgets::designFont(kSansSerif, 10.5, true));

    parameterCaptions[0] = newLabel(this, "parameterCaptions_0", tr("Parameter"));
    parameterCaptions[1] = newLabel(this, "parameterCaptions_1", tr("Parameter Limiting Value"));
    parameterCombo = new QComboBox(this);
    parameterCombo->setObjectName(QStringLiteral("parameterCombo"));
    parameterCombo->setFont(widgets::designFont(kSansSerif, kControlPoints));
    parameterCombo->setEditable(true);
    parameterCombo->setInsertPolicy(QComboBox::NoInsert);
    parameterCombo->addItems(widgets::fromCoreList(core::comboParameterNames()));
    parameterCombo->setEditText(fromCore(core::kDefaultParameter));
    parameterCombo->setMinimumWidth(90);
    limitEdit = newTextBox(this, "limitEdit", fromCore(core::kDefaultLimit));
    kmCaptions[0] = newLabel(this, "kmCaptions_0", tr("Km - From"));
    kmCaptions[1] = newLabel(this, "kmCaptions_1", tr("Km - to"));
    kmRangeEdits[0] = newTextBox(this, "kmRangeEdits_0");
    kmRangeEdits[1] = newTextBox(this, "kmRangeEdits_1");
    for (QLineEdit* box : {limitEdit, kmRangeEdits[0], kmRangeEdits[1]})
        box->setMaximumWidth(80);
    showDetailsButton = newButton(this, "showDetailsButton", tr("SHOW DETAILS"));
    printDetailsButton = newButton(this, "printDetailsButton", tr("PRINT DETAILS"));
    goToMainButton = newButton(this, "goToMainButton", tr("   GO TO    MAIN"));

    columnHeaderLabel = new QLabel(fromCore(core::kColumnHeaderCaption));
    columnHeaderLabel->setObjectName(QStringLiteral("columnHeaderLabel"));
    for (int i = 0; i < kColumnLists; ++i) {
        resultLists[static_cast<std::size_t>(i)] = new widgets::ListBox;
        resultLists[static_cast<std::size_t>(i)]->setObjectName(QStringLiteral("resultLists_%1").arg(i));
    }
    columnArea_ = new ColumnArea(this);
    columnArea_->setColumns(columnHeaderLabel, resultLists);

    kmCountLabel = newLabel(this, "kmCountLabel");
    peakCountLabel = newLabel(this, "peakCountLabel");
    for (QLabel* label : {kmCountLabel, peakCountLabel})
        label->setFont(widgets::designFont(kSansSerif, 10.5, true));

    waitLabel = newLabel(this, "waitLabel");
    waitLabel->setFont(widgets::designFont(kSansSerif, 11, true));
    // Only the title band and these labels take the style sheet: set on the whole screen it would
    // draw the parameter box's edit field in another face.
    for (QWidget* styled :
         std::initializer_list<QWidget*>{titleBand, sectionLabel, runDateLabel, kmRangeLabel, waitLabel})
        widgets::applyStyle(styled);
    // The wait label keeps its room while hidden, so showing it moves nothing else.
    QSizePolicy keepRoom = waitLabel->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    waitLabel->setSizePolicy(keepRoom);
    waitLabel->setMinimumWidth(320);
    waitLabel->hide();

    spareEdit = newTextBox(this, "spareEdit");
    spareEdit->hide();

    // Names for screen readers: each box is named by the caption beside it.
    const std::array<std::pair<QLabel*, QWidget*>, 5> captioned{{{runFileLabel, runFileEdit},
                                                                 {parameterCaptions[0], parameterCombo},
                                                                 {parameterCaptions[1], limitEdit},
                                                                 {kmCaptions[0], kmRangeEdits[0]},
                                                                 {kmCaptions[1], kmRangeEdits[1]}}};
    for (const auto& [caption, box] : captioned) {
        caption->setBuddy(box);
        box->setAccessibleName(caption->text().simplified());
    }
    for (int i = 0; i < kColumnLists; ++i)
        resultLists[static_cast<std::size_t>(i)]->setAccessibleName(tr("Result column %1").arg(i + 1));

    titleTimer = widgets::designTimer(this, "titleTimer", widgets::kTitleIntervalMs);
}

void PeakScreen::buildLayout() {
    auto* page = new QVBoxLayout(widgets::scrollingPage(this));
    page->setContentsMargins(8, 6, 8, 6);
    page->setSpacing(6);
    page->addWidget(titleBand);

    auto* input = new QHBoxLayout;
    input->addWidget(runFileLabel);
    input->addWidget(runFileEdit, 1);
    input->addWidget(browseButton);
    input->addWidget(recentRunFilesButton);
    input->addSpacing(12);
    input->addWidget(processDataButton);
    page->addLayout(input);

    auto* run = new QHBoxLayout;
    run->addWidget(sectionLabel, 3);
    run->addWidget(runDateLabel, 1);
    run->addWidget(kmRangeLabel, 1);
    run->addWidget(waitLabel, 2);
    page->addLayout(run);

    auto* query = new QHBoxLayout;
    query->addWidget(parameterCaptions[0]);
    query->addWidget(parameterCombo);
    query->addSpacing(10);
    query->addWidget(parameterCaptions[1]);
    query->addWidget(limitEdit);
    query->addSpacing(10);
    query->addWidget(kmCaptions[0]);
    query->addWidget(kmRangeEdits[0]);
    query->addWidget(kmCaptions[1]);
    query->addWidget(kmRangeEdits[1]);
    query->addStretch(1);
    query->addWidget(showDetailsButton);
    query->addWidget(printDetailsButton);
    page->addLayout(query);

    page->addWidget(columnArea_, 1);

    auto* foot = new QGridLayout;
    foot->addWidget(kmCountLabel, 0, 0);
    foot->addWidget(peakCountLabel, 1, 0);
    foot->addWidget(goToMainButton, 0, 1, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
    foot->setColumnStretch(0, 1);
    page->addLayout(foot);
    page->addWidget(spareEdit);

    setTabOrder(runFileEdit, browseButton);
    setTabOrder(browseButton, recentRunFilesButton);
    setTabOrder(recentRunFilesButton, processDataButton);
    setTabOrder(processDataButton, parameterCombo);
    setTabOrder(parameterCombo, limitEdit);
    setTabOrder(limitEdit, kmRangeEdits[0]);
    setTabOrder(kmRangeEdits[0], kmRangeEdits[1]);
    setTabOrder(kmRangeEdits[1], showDetailsButton);
    setTabOrder(showDetailsButton, printDetailsButton);
    setTabOrder(printDetailsButton, goToMainButton);
}

} // namespace kestrana::gui::peaks
