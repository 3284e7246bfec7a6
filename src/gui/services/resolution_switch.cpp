// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/services/resolution_switch.h"

#include "gui/services/test_hook.h"
#include "gui/services/test_mode.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>

#include <optional>

namespace kestrana::gui::services {

namespace {

struct FakeDisplay {
    QSize size;
    bool switchWorks = false;
    bool switchable = true;
};

std::optional<FakeDisplay>& fake() {
    // Made on first use, when it also asks resetServices() to forget it.
    static std::optional<FakeDisplay> display = [] {
        onServicesReset([] { fake().reset(); });
        return std::optional<FakeDisplay>();
    }();
    return display;
}

// Every size applied, faked or not.
TestHook<NoAnswer, QSize>& hook() {
    static TestHook<NoAnswer, QSize> applied;
    return applied;
}

constexpr int kXrandrTimeoutMs = 10000;

// Runs xrandr with these arguments; its standard output, or nullopt when it did not run cleanly.
std::optional<QString> runXrandr(const QStringList& arguments) {
    QProcess xrandr;
    xrandr.start(QStringLiteral("xrandr"), arguments);
    if (!xrandr.waitForFinished(kXrandrTimeoutMs) || xrandr.exitStatus() != QProcess::NormalExit ||
        xrandr.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(xrandr.readAllStandardOutput());
}

QString modeName(QSize size) {
    return QString::number(size.width()) + 'x' + QString::number(size.height());
}

} // namespace

QSize ResolutionSwitch::displaySize() {
    if (fake())
        return fake()->size;
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    return screen->size() * screen->devicePixelRatio();
}

bool ResolutionSwitch::modeOffered(const QString& xrandrOutput, QSize size) {
    // Mode lines are indented and begin with the mode's name, "1024x768" (an interlaced one
    // "1024x768i"), followed by its refresh rates.
    static const QRegularExpression modeLine(QStringLiteral("^\\s+(\\d+)x(\\d+)i?\\s"));
    const QStringList lines = xrandrOutput.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = modeLine.match(line + QLatin1Char(' '));
        if (match.hasMatch() && match.captured(1).toInt() == size.width() &&
            match.captured(2).toInt() == size.height())
            return true;
    }
    return false;
}

bool ResolutionSwitch::apply(QSize size) {
    hook().record(size);
    if (fake()) {
        if (fake()->switchWorks)
            fake()->size = size;
        return fake()->switchWorks;
    }
    if (inTestMode() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    const std::optional<QString> modes = runXrandr({});
    if (!modes || !modeOffered(*modes, size))
        return false;
    return runXrandr({QStringLiteral("-s"), modeName(size)}).has_value();
}

bool ResolutionSwitch::canSwitch() {
    if (fake())
        return fake()->switchable;
    const QScreen* screen = QGuiApplication::primaryScreen();
    return QGuiApplication::platformName() == QLatin1String("xcb") && screen != nullptr &&
           screen->devicePixelRatio() == 1.0;
}

void ResolutionSwitch::fakeDisplay(QSize size, bool switchWorks, bool switchable) {
    fake() = FakeDisplay{size, switchWorks, switchable};
}

const std::vector<QSize>& ResolutionSwitch::appliedSizes() {
    return hook().shown();
}

void ResolutionSwitch::reset() {
    fake().reset();
    hook().clear();
}

} // namespace kestrana::gui::services
