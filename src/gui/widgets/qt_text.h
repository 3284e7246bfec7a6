// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#pragma once
// Conversions between the core's texts and Qt's. The core works in single-byte text (the run files
// and every caption built from them), so captions cross as Latin-1, one character per byte. Paths
// cross in the file system's own encoding, so a typed path with any character survives the trip.

#include "core/common/errors.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace kestrana::gui::widgets {

// A core text (single-byte) for a label, list entry or message.
inline QString fromCore(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
// Core texts (the names of a choice) for a choice box or a list.
template <typename Texts> QStringList fromCoreList(const Texts& texts) {
    QStringList list;
    for (const auto& text : texts)
        list << fromCore(text);
    return list;
}
// A typed text for the core (characters beyond Latin-1 become '?').
inline std::string toCore(const QString& text) {
    return text.toLatin1().toStdString();
}

// A path typed into a text box or chosen in the file dialog, for the core's file functions.
inline std::string toPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
// A path from the core (for example common::mapDesignPath) to show in a text box.
inline QString fromPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// A failure as a message box shows it: the designed message, then the reason on a line of its own
// when there is one.
inline QString messageWithReason(const kestrana::common::Error& failure) {
    QString text = fromCore(failure.message());
    if (!failure.reason().empty())
        text += QLatin1Char('\n') + fromCore(failure.reason());
    return text;
}

} // namespace kestrana::gui::widgets
