// SPDX-License-Identifier: MIT
#include "qt/label_texts.h"

#include <QStringList>

namespace vandrel::qt {

namespace {

// The width of a line of text set glyph by glyph from the font's own advances; the glyphs'
// indexes and advances are left in the scratch vectors.
double setGlyphs(const QRawFont& font, const QString& chars, std::vector<quint32>& indexes,
                 std::vector<QPointF>& advances) {
    int count = static_cast<int>(chars.size());
    indexes.resize(static_cast<std::size_t>(count));
    if (!font.isValid() ||
        !font.glyphIndexesForChars(chars.constData(), count, indexes.data(), &count)) {
        count = 0;  // no font to show it in
    }
    indexes.resize(static_cast<std::size_t>(count));
    advances.resize(static_cast<std::size_t>(count));
    if (count > 0) font.advancesForGlyphIndexes(indexes.data(), advances.data(), count);
    double width = 0;
    for (const QPointF& advance : advances)
        width += advance.x();
    return width;
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QFont toQFont(const host::FontChoice& choice, const QFont& desktop) {
    QFont font = desktop;
    if (!choice.faces.empty()) {
        QStringList faces;
        for (std::string_view face : choice.faces)
            faces += fromUtf8(face);
        font.setFamilies(faces);
    }
    font.setStyleHint(QFont::SansSerif);
    if (choice.pixels > 0) {
        font.setPixelSize(choice.pixels);
    } else {
        font.setPointSizeF(choice.points);
    }
    font.setWeight(static_cast<QFont::Weight>(choice.weight));
    font.setItalic(choice.italic);
    return font;
}

void LabelTexts::setFont(int label, const QFont& font) {
    texts_[static_cast<std::size_t>(label)].font = QRawFont::fromFont(font);
}

double LabelTexts::width(const QFont& font, std::string_view text) {
    return setGlyphs(QRawFont::fromFont(font), fromUtf8(text), indexes_, advances_);
}

host::TextSize LabelTexts::layOut(int label, std::string_view caption) {
    Text& text = texts_[static_cast<std::size_t>(label)];
    setGlyphs(text.font, fromUtf8(caption), indexes_, advances_);
    // Glyphs stand on the baseline, one ascent below the top of the line.
    const double ascent = text.font.isValid() ? text.font.ascent() : 0;
    QList<QPointF> positions;
    positions.reserve(static_cast<qsizetype>(advances_.size()));
    double x = 0;
    for (const QPointF& advance : advances_) {
        positions.append(QPointF(x, ascent));
        x += advance.x();
    }
    text.glyphs.setRawFont(text.font);
    text.glyphs.setGlyphIndexes(QList<quint32>(indexes_.begin(), indexes_.end()));
    text.glyphs.setPositions(positions);
    return {x, text.font.isValid() ? ascent + text.font.descent() : 0};
}

}  // namespace vandrel::qt
