// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The decoration of the main menu's `pictureBox`: a track running into the distance under a recorded
// geometry trace, drawn at start so the program carries no picture file.

#include <QPixmap>
#include <QSize>

namespace kestrana::gui::app {

QPixmap trackPicture(QSize size);

} // namespace kestrana::gui::app
