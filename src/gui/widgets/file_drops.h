// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Run files dropped on a screen from a file manager: the screen takes them as its own (into its
// boxes, or into its library). A drop anywhere on the screen counts, its text boxes included, which
// would otherwise take a dropped file as the text of its address.
//
//     widgets::acceptFileDrops(this, 1, [this](const QStringList& paths) { takeRunFiles(paths); });

#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace kestrana::gui::widgets {

// The local files (or folders) a drag carries, as native paths; empty when it carries anything else
// too, or nothing local.
QStringList droppedPaths(const QMimeData* data);

// `take` receives the paths of each drop of one to `maxFiles` local files on `screen` (0: any number).
// A drag of more files, or of anything else, is refused as it enters, so nothing is dropped halfway.
void acceptFileDrops(QWidget* screen, int maxFiles, std::function<void(const QStringList&)> take);

} // namespace kestrana::gui::widgets
