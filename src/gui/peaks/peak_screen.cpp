// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "core/analyser/screen_state.h"
#include "core/common/paths.h"
#include "core/peaks/parameters.h"
#include "core/peaks/peak_database.h"
#include "core/peaks/print.h"
#include "core/peaks/query.h"
#include "core/peaks/session.h"
#include "core/peaks/texts.h"

#include "gui/app/navigator.h"
#include "gui/peaks/peak_screen.h"
#include "gui/services/hard_copy_printer.h"
#include "gui/services/help.h"
#include "gui/services/message_box.h"
#include "gui/services/screen_memory.h"
#include "gui/services/settings.h"
#include "gui/services/title_prompt.h"
#include "gui/widgets/controls.h"
#include "gui/widgets/file_drops.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/screen_setup.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <optional>

namespace kestrana::gui::peaks {

namespace {

namespace core = kestrana::peaks;
using widgets::fromCore;
using widgets::toCore;

// The coupled lists: resultLists(0) and resultLists(2) to resultLists(17) follow resultLists(1).
constexpr int kLastCoupledList = 17;

// The analyser's scratch and database files, in the home folder as it is now.
core::PeakFiles homeFiles() {
    return core::PeakFiles::in(kestrana::common::homeFolder());
}

} // namespace

PeakScreen::PeakScreen(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PeakScreen"));
    setWindowTitle(widgets::windowTitle(tr("Peak Analyzer")));
    buildControls();
    buildLayout();
    connectHandlers();
    services::installHelp(this, QStringLiteral("peaks"));
    load();
    // A parameter kept from an earlier opening is chosen as a pick would choose it, but with the
    // limiting value kept beside it rather than the parameter's default.
    const QString designParameter = parameterCombo->currentText();
    services::rememberScreen(this, {runFileEdit, limitEdit}, {parameterCombo});
    if (parameterCombo->currentText() != designParameter)
        core::chooseParameter(toCore(parameterCombo->currentText()), core::programPeakSession());
    widgets::acceptFileDrops(this, 1, [this](const QStringList& paths) { takeRunFiles(paths); });
    titleTimer->start();
}

void PeakScreen::takeRunFiles(const QStringList& paths) {
    if (!paths.isEmpty())
        runFileEdit->setText(paths.front());
}

void PeakScreen::connectHandlers() {
    widgets::connectClicks(this, {{processDataButton, &PeakScreen::processData},
                                  {showDetailsButton, &PeakScreen::showDetails},
                                  {printDetailsButton, &PeakScreen::printDetails},
                                  {browseButton, &PeakScreen::browseRunFile},
                                  {goToMainButton, &PeakScreen::goToMain}});
    connect(parameterCombo, &QComboBox::activated, this, &PeakScreen::parameterChosen);
    connect(titleTimer, &QTimer::timeout, this, &PeakScreen::scrollTitle);
    for (int i = 0; i < kColumnLists; ++i)
        connect(resultLists[static_cast<std::size_t>(i)], &widgets::ListBox::scrolled, this,
                [this, i] { resultListScrolled(i); });
}

// The screen opens maximized, as large as the display, naming the run its database holds. There is
// nothing to print until SHOW DETAILS has listed something.
void PeakScreen::load() {
    widgets::fillDisplay(this);
    printDetailsButton->setEnabled(false);
    showHeldRun();
}

// The section, date and kilometres of the run in the peak database: what SHOW DETAILS lists and
// PRINT DETAILS prints, whatever run file the box names. SHOW DETAILS is usable while a run is named.
void PeakScreen::showHeldRun() {
    const std::optional<core::PeakCaptions> captions = core::storedRunCaptions(homeFiles().databaseBase);
    sectionLabel->setText(captions ? fromCore(captions->section) : QString());
    runDateLabel->setText(captions ? fromCore(captions->runDate) : QString());
    kmRangeLabel->setText(captions ? fromCore(captions->kmRange) : QString());
    showDetailsButton->setEnabled(captions.has_value());
}

// Everything shown of the run before and its query: the columns, the summary, the run's captions,
// and the buttons that would list or print them.
void PeakScreen::withdrawResults() {
    clearResultLists();
    for (QLabel* label : {kmCountLabel, peakCountLabel, sectionLabel, runDateLabel, kmRangeLabel})
        label->clear();
    showDetailsButton->setEnabled(false);
    printDetailsButton->setEnabled(false);
}

void PeakScreen::clearResultLists() {
    for (widgets::ListBox* list : resultLists)
        list->clear();
}

void PeakScreen::parameterChosen() {
    const auto limit =
        core::chooseParameter(toCore(parameterCombo->currentText()), core::programPeakSession());
    if (limit)
        limitEdit->setText(fromCore(*limit));
}

void PeakScreen::showWaitLabel(const QString& caption) {
    waitLabel->setText(caption);
    waitLabel->show();
    // The operation blocks the screen; paint the label now, or it would only appear afterwards.
    waitLabel->repaint();
}

// A new run is asked for: nothing of the run before stays on screen or goes to paper under its
// heading, and after a failure nothing is named, listed or printed until a run has been processed.
// (The database of the run before stays on disk, untouched, and is named again when the screen
// is next opened.)
void PeakScreen::processData() {
    withdrawResults();
    showWaitLabel(fromCore(core::kReadingWaitCaption));
    QString message;
    bool processed = false;
    try {
        const std::string runPath = kestrana::common::mapDesignPath(widgets::toPath(runFileEdit->text()));
        core::processPeakData(runPath, homeFiles(), core::programPeakSession());
        message = fromCore(core::kDatabaseGeneratedMessage);
        processed = true;
    } catch (const kestrana::common::Error& error) {
        // processPeakData gives every failure its message; one without is a failed database.
        message = fromCore(error.withMessage(core::kDatabaseFailedMessage).message());
    } catch (const std::exception&) {
        message = fromCore(core::kDatabaseFailedMessage);
    }
    if (processed) {
        showHeldRun();
        services::addRecentFile(objectName(), runFileEdit->text());
    }
    waitLabel->hide();
    services::MessageBox::information(this, message);
}

void PeakScreen::showDetails() {
    showWaitLabel(fromCore(core::kProcessingWaitCaption));
    // The columns go first; PRINT DETAILS comes back only with a listing to print.
    clearResultLists();
    printDetailsButton->setEnabled(false);
    try {
        const core::ShowDetailsInput input{toCore(parameterCombo->currentText()), toCore(limitEdit->text()),
                                           toCore(kmRangeEdits[0]->text()), toCore(kmRangeEdits[1]->text())};
        const core::PeakSummary summary =
            core::showDetails(input, core::programPeakSession(), homeFiles().databaseBase);
        coupling_ = true;
        // A new result is read from its first kilometre.
        for (int i = 0; i < kColumnLists; ++i) {
            resultLists[static_cast<std::size_t>(i)]->setEntries(summary.lists[static_cast<std::size_t>(i)]);
            resultLists[static_cast<std::size_t>(i)]->setTopIndex(0);
        }
        coupling_ = false;
        // The database may have been adopted from an earlier use just now.
        showHeldRun();
        kmCountLabel->setText(fromCore(summary.kmCountText));
        peakCountLabel->setText(fromCore(summary.peakCountText));
        printDetailsButton->setEnabled(true);
    } catch (const kestrana::common::Error& error) {
        coupling_ = false;
        services::MessageBox::information(this, error.message().empty() ? QString::fromLocal8Bit(error.what())
                                                                        : fromCore(error.message()));
    } catch (const std::exception& error) {
        coupling_ = false;
        services::MessageBox::information(this, QString::fromLocal8Bit(error.what()));
    }
    waitLabel->hide();
}

void PeakScreen::printDetails() {
    const QString title =
        services::TitlePrompt::ask(this, fromCore(core::kPrintTitlePrompt),
                                   fromCore(core::kPrintTitleBoxTitle), fromCore(core::kPrintTitleDefault));
    core::ColumnLists lists;
    for (int i = 0; i < kColumnLists; ++i)
        for (const QString& entry : resultLists[static_cast<std::size_t>(i)]->entries())
            lists[static_cast<std::size_t>(i)].push_back(toCore(entry));
    const core::PeakPrintTexts texts{toCore(title), toCore(parameterCombo->currentText()),
                                     toCore(limitEdit->text()), toCore(kmRangeEdits[0]->text()),
                                     toCore(kmRangeEdits[1]->text())};
    try {
        const kestrana::common::HardCopyScript script =
            core::peakHardCopy(texts, lists, core::programPeakSession());
        services::PrintOptions options;
        options.documentName = QStringLiteral("peak_details");
        services::HardCopyPrinter::print(this, script, QPixmap(), options);
    } catch (const std::exception& error) {
        services::MessageBox::information(this, QString::fromLocal8Bit(error.what()));
    }
}

void PeakScreen::browseRunFile() {
    // A cancel leaves the typed path as it stands.
    const QString chosen = fileDialog.showOpen(runFileEdit->text(), services::kRunFileFilter);
    if (!chosen.isEmpty())
        runFileEdit->setText(chosen);
}

void PeakScreen::goToMain() {
    app::Navigator::goToMain(this);
}

// resultLists(1) drives the columns: whichever list scrolled, resultLists(0) and resultLists(2) to
// resultLists(17) are set to resultLists(1)'s top entry, so a scroll of any of them but resultLists(1) snaps
// back. Lists 18 to 21 are left where they are.
void PeakScreen::resultListScrolled(int index) {
    Q_UNUSED(index);
    if (coupling_)
        return;
    coupling_ = true;
    const int top = resultLists[1]->topIndex();
    resultLists[0]->setTopIndex(top);
    for (int i = 2; i <= kLastCoupledList; ++i)
        resultLists[static_cast<std::size_t>(i)]->setTopIndex(top);
    coupling_ = false;
}

void PeakScreen::scrollTitle() {
    titleBand->scroll();
}

} // namespace kestrana::gui::peaks
