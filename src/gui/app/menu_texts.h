// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// The main menu's own texts: its captions and the messages of the display question. Kept apart from
// the widgets (and free of Qt) so they are checked word for word by the tests.

// Marks a caption for the program's translation template: lupdate reads it as QT_TRANSLATE_NOOP
// (src/gui/CMakeLists.txt), while here it is the caption itself, so this header stays free of Qt. The
// menu translates each caption where it shows it.
#define KESTRANA_TRANSLATABLE(context, text) text

namespace kestrana::gui::app::menu_texts {

inline constexpr const char* kProductButton =
    KESTRANA_TRANSLATABLE("kestrana::gui::app::MainMenu", "K E S T R A N A");
inline constexpr const char* kComparatorButton =
    KESTRANA_TRANSLATABLE("kestrana::gui::app::MainMenu", "T G I  COMPARATOR");
inline constexpr const char* kPeakButton =
    KESTRANA_TRANSLATABLE("kestrana::gui::app::MainMenu", "PEAK ANALYZER");
inline constexpr const char* kHistoryButton =
    KESTRANA_TRANSLATABLE("kestrana::gui::app::MainMenu", "TRACK HISTORY");
inline constexpr const char* kQuitButton = KESTRANA_TRANSLATABLE("kestrana::gui::app::MainMenu", "Q U I T");
inline constexpr const char* kHelpReminder = KESTRANA_TRANSLATABLE("kestrana::gui::app::MainMenu", "F1-HELP");
inline constexpr const char* kTitle =
    KESTRANA_TRANSLATABLE("kestrana::gui::app::MainMenu", "TRACK  GEOMETRY  INDEX");
// What each working screen is for, written beneath its button.
inline constexpr const char* kProductNote = KESTRANA_TRANSLATABLE(
    "kestrana::gui::app::MainMenu", "Quality bands, block listing and track share of one run");
inline constexpr const char* kComparatorNote = KESTRANA_TRANSLATABLE(
    "kestrana::gui::app::MainMenu", "Up to four runs of one line, block by block and per km");
inline constexpr const char* kPeakNote =
    KESTRANA_TRANSLATABLE("kestrana::gui::app::MainMenu", "Kilometres whose peaks pass a limiting value");
inline constexpr const char* kHistoryNote = KESTRANA_TRANSLATABLE(
    "kestrana::gui::app::MainMenu", "Every run of a line over the years: trends, forecasts, maintenance");

// The size the screens are laid out for.
inline constexpr int kDesignWidth = 1024;
inline constexpr int kDesignHeight = 768;

// The question asked when the display is smaller than 1024 x 768: %1 its width, %2 its height.
inline constexpr const char* kDisplayQuestion =
    KESTRANA_TRANSLATABLE("kestrana::gui::app::MainMenu",
                          " Resolution  %1 X %2 of your monitor is required to be changed to 1024 x 768 "
                          "for proper viewing. Change it? Original resolution will be restored back when "
                          "you quit.");
inline constexpr const char* kSwitchFailed = KESTRANA_TRANSLATABLE(
    "kestrana::gui::app::MainMenu", " Resolution of your monitor can not be changed to 1024 X 768");
inline constexpr const char* kNoSwitchWarning =
    KESTRANA_TRANSLATABLE("kestrana::gui::app::MainMenu",
                          " Yoy will not be able to view it properly though Program would still run");

// The answer kept as the message box's button code: "6" Yes, "7" No, "" when nothing was asked.
inline constexpr const char* kAnswerYes = "6";
inline constexpr const char* kAnswerNo = "7";

} // namespace kestrana::gui::app::menu_texts
