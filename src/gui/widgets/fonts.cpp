// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Kestrana developers

#include "gui/widgets/fonts.h"

#include <vector>

namespace kestrana::gui::widgets {

namespace {

struct FaceSubstitutes {
    const char* design;
    QStringList substitutes;
    QFont::StyleHint hint;
    QFont::Weight weight;
};

const std::vector<FaceSubstitutes>& knownFaces() {
    static const std::vector<FaceSubstitutes> faces = {
        {"Arial Black",
         {"Arial Black", "Nimbus Sans", "Liberation Sans", "DejaVu Sans"},
         QFont::SansSerif,
         QFont::Black},
        {"Arial",
         {"Arial", "Liberation Sans", "Nimbus Sans", "DejaVu Sans"},
         QFont::SansSerif,
         QFont::Normal},
        {"MS Sans Serif",
         {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Nimbus Sans", "DejaVu Sans"},
         QFont::SansSerif,
         QFont::Normal},
        {"MS Serif",
         {"MS Serif", "Times New Roman", "Liberation Serif", "Nimbus Roman", "DejaVu Serif"},
         QFont::Serif,
         QFont::Normal},
        {"Palatino Linotype",
         {"Palatino Linotype", "Palatino", "P052", "TeX Gyre Pagella", "DejaVu Serif"},
         QFont::Serif,
         QFont::Normal},
        {"Bookman Old Style",
         {"Bookman Old Style", "URW Bookman", "TeX Gyre Bonum", "DejaVu Serif"},
         QFont::Serif,
         QFont::Normal},
    };
    return faces;
}

const FaceSubstitutes* faceOf(const QString& designFamily) {
    for (const FaceSubstitutes& face : knownFaces())
        if (designFamily.compare(QLatin1String(face.design), Qt::CaseInsensitive) == 0)
            return &face;
    return nullptr;
}

} // namespace

QFont designFont(const QString& designFamily, double pointSize, bool bold) {
    QFont font;
    const FaceSubstitutes* face = faceOf(designFamily);
    font.setFamilies(face != nullptr ? face->substitutes : QStringList{designFamily});
    font.setStyleHint(face != nullptr ? face->hint : QFont::AnyStyle);
    font.setPointSizeF(pointSize);
    QFont::Weight weight = face != nullptr ? face->weight : QFont::Normal;
    font.setWeight(bold && weight < QFont::Bold ? QFont::Bold : weight);
    return font;
}

} // namespace kestrana::gui::widgets
