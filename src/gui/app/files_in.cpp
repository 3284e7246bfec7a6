// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/app/files_in.h"

#include "gui/analyser/analyser_screen.h"
#include "gui/app/navigator.h"
#include "gui/comparator/comparator_screen.h"
#include "gui/services/message_box.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kestrana::gui::app {

namespace {
// The comparator holds the current run and at most three older ones.
constexpr int kMostComparedRuns = 4;
} // namespace

QStringList runFileArguments(const QStringList& arguments) {
    QStringList files;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--"))
            optionsEnded = true;
        else if (optionsEnded || !argument.startsWith(QLatin1Char('-')))
            files << argument;
    }
    return files;
}

QWidget* openRunFiles(const QStringList& paths) {
    if (paths.isEmpty())
        return nullptr;
    if (paths.size() > kMostComparedRuns) {
        services::MessageBox::information(
            Navigator::find(Screen::MainMenu),
            QCoreApplication::translate("FilesIn", "At most %1 run files can be compared; %2 were given.")
                .arg(kMostComparedRuns)
                .arg(paths.size()));
        return nullptr;
    }
    // A path relative to where the program was started means that folder, not the screen's.
    QStringList absolute;
    for (const QString& path : paths)
        absolute << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (absolute.size() == 1) {
        auto* analyser = qobject_cast<analyser::AnalyserScreen*>(Navigator::show(Screen::Analyser));
        analyser->takeRunFiles(absolute);
        return analyser;
    }
    auto* comparator = qobject_cast<comparator::ComparatorScreen*>(Navigator::show(Screen::Comparator));
    comparator->takeRunFiles(absolute);
    return comparator;
}

} // namespace kestrana::gui::app
