// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// The program's look comes from one style sheet whose rules are scoped by the screens' object names:
// a renamed screen, a sheet that did not load, or a screen that stopped taking it would all leave
// that screen silently unstyled.
#include "gui/app/navigator.h"

#include <QLabel>
#include <QPalette>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

using kestrana::gui::app::Navigator;
using kestrana::gui::app::Screen;

struct StyledLabel {
    Screen screen;
    const char* label;
    const char* colour;
};

TEST(ScreenStyle, EachScreenShowsItsLabelsInTheColoursOfItsOwnRules) {
    const StyledLabel cases[] = {
        {Screen::MainMenu, "institutionLabel", "#ffffff"}, {Screen::MainMenu, "titleFaces_0", "#ffd54a"},
        {Screen::Analyser, "titleLabel", "#ffd54a"},       {Screen::Analyser, "sectionLabel", "#123a6b"},
        {Screen::Comparator, "creditLabel", "#123a6b"},    {Screen::TrackHistory, "statusLabel", "#123a6b"},
        {Screen::PeakAnalyser, "titleLabel", "#ffd24a"},   {Screen::PeakAnalyser, "sectionLabel", "#0b2e59"},
        {Screen::PeakAnalyser, "waitLabel", "#b00020"},
    };
    for (const StyledLabel& styled : cases) {
        QWidget* screen = Navigator::show(styled.screen);
        ASSERT_NE(screen, nullptr);
        auto* label = screen->findChild<QLabel*>(QLatin1String(styled.label));
        ASSERT_NE(label, nullptr) << styled.label;
        label->ensurePolished();
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(QLatin1String(styled.colour)))
            << screen->objectName().toStdString() << " " << styled.label;
    }
    Navigator::closeAll();
}

TEST(ScreenStyle, EveryScreenNamedInTheSheetExists) {
    QSet<QString> screenNames;
    QString sheet;
    for (const Screen kind : {Screen::MainMenu, Screen::Analyser, Screen::Comparator, Screen::PeakAnalyser,
                              Screen::TrackHistory}) {
        QWidget* screen = Navigator::show(kind);
        ASSERT_NE(screen, nullptr);
        screenNames.insert(screen->objectName());
        if (!screen->styleSheet().isEmpty())
            sheet = screen->styleSheet();
    }
    Navigator::closeAll();
    ASSERT_FALSE(sheet.isEmpty());
    // A rule is scoped to a screen by the screen's object name before a control's type.
    static const QRegularExpression scope(QStringLiteral("(?:^|[\\s,])#(\\w+)\\s+Q"));
    int scopes = 0;
    for (const QRegularExpressionMatch& match : scope.globalMatch(sheet)) {
        ++scopes;
        EXPECT_TRUE(screenNames.contains(match.captured(1))) << match.captured(1).toStdString();
    }
    EXPECT_GT(scopes, 0);
}

} // namespace
