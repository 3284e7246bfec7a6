// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

// Every caption of every screen is marked for translation: the template lupdate gathers in the build
// (kestrana.ts) holds each button's text, each group's title, each box's caption, each window title
// and each name given to screen readers, as the screens show them.
#include "gui/app/navigator.h"
#include "gui/services/resolution_switch.h"

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using kestrana::gui::app::Navigator;
using kestrana::gui::app::Screen;

// The source texts of a Qt translation file, each with its runs of blanks made one.
QSet<QString> sourcesOf(const QString& path) {
    QSet<QString> sources;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return sources;
    QXmlStreamReader reader(&file);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QLatin1String("source"))
            sources.insert(reader.readElementText().simplified());
    return sources;
}

// The texts a screen shows of its own making: captions and names, not the figures it reads.
QStringList captionsOf(QWidget* screen) {
    QStringList captions{screen->windowTitle().section(QStringLiteral(" \u2014 "), 1)};
    for (QWidget* widget : screen->findChildren<QWidget*>()) {
        // A tab bar's scroll buttons are Qt's own, translated by Qt's own catalogue.
        if (qobject_cast<const QTabBar*>(widget->parentWidget()) != nullptr)
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            captions << button->text();
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            captions << group->title();
        if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && label->buddy() != nullptr)
            captions << label->text();
        if (auto* tabs = qobject_cast<QTabWidget*>(widget))
            for (int i = 0; i < tabs->count(); ++i)
                captions << tabs->tabText(i);
        captions << widget->accessibleName();
    }
    for (QString& caption : captions)
        caption = caption.simplified(); // names for screen readers are captions without runs of blanks
    captions.removeAll(QString());
    return captions;
}

} // namespace

TEST(Translation, TheTemplateHoldsEveryCaptionOfEveryScreen) {
#ifndef KESTRANA_TS_TEMPLATE
    GTEST_SKIP() << "built without lupdate: no translation template";
#else
    const QSet<QString> sources = sourcesOf(QStringLiteral(KESTRANA_TS_TEMPLATE));
    ASSERT_FALSE(sources.isEmpty()) << KESTRANA_TS_TEMPLATE;
    kestrana::gui::services::ResolutionSwitch::fakeDisplay({1024, 768}, false);
    for (const Screen kind : {Screen::MainMenu, Screen::Analyser, Screen::Comparator, Screen::PeakAnalyser,
                              Screen::TrackHistory}) {
        QWidget* screen = Navigator::show(kind);
        int checked = 0;
        for (const QString& caption : captionsOf(screen)) {
            // A caption made from a template ("Run file of run %1") is found by its fixed part.
            const bool marked =
                sources.contains(caption) ||
                std::any_of(sources.begin(), sources.end(), [&caption](const QString& source) {
                    return source.contains(QLatin1Char('%')) &&
                           caption.startsWith(source.section(QLatin1Char('%'), 0, 0)) &&
                           !source.section(QLatin1Char('%'), 0, 0).isEmpty();
                });
            EXPECT_TRUE(marked) << screen->objectName().toStdString() << ": \"" << caption.toStdString()
                                << "\"";
            ++checked;
        }
        EXPECT_GT(checked, 5) << screen->objectName().toStdString();
    }
#endif
}
