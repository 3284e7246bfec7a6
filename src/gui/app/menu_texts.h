#pragma once
// The main menu's own texts: its captions and the messages of the display question. Kept apart from
// the widgets (and free of Qt) so they are checked word for word by the tests.

#include <string>

namespace kestrana::gui::app::menu_texts {

inline constexpr const char* kProductButton = "K E S T R A N A";
inline constexpr const char* kComparatorButton = "T G I  COMPARATOR";
inline constexpr const char* kPeakButton = "PEAK ANALYZER";
inline constexpr const char* kHistoryButton = "TRACK HISTORY";
inline constexpr const char* kQuitButton = "Q U I T";
inline constexpr const char* kHelpReminder = "F1-HELP";
inline constexpr const char* kTitle = "TRACK  GEOMETRY  INDEX";
// What each working screen is for, written beneath its button.
inline constexpr const char* kProductNote = "Quality bands, block listing and track share of one run";
inline constexpr const char* kComparatorNote = "Up to four runs of one line, block by block and per km";
inline constexpr const char* kPeakNote = "Kilometres whose peaks pass a limiting value";
inline constexpr const char* kHistoryNote =
    "Every run of a line over the years: trends, forecasts, maintenance";

// The size the screens are laid out for.
inline constexpr int kDesignWidth = 1024;
inline constexpr int kDesignHeight = 768;

// The question asked when the display is not 1024 x 768.
std::string displayQuestion(int width, int height);
inline constexpr const char* kSwitchFailed = " Resolution of your monitor can not be changed to 1024 X 768";
inline constexpr const char* kNoSwitchWarning =
    " Yoy will not be able to view it properly though Program would still run";

// The answer kept as the message box's button code: "6" Yes, "7" No, "" when nothing was asked.
inline constexpr const char* kAnswerYes = "6";
inline constexpr const char* kAnswerNo = "7";

} // namespace kestrana::gui::app::menu_texts
