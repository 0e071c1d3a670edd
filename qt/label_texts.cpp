// SPDX-License-Identifier: MIT
#include "qt/label_texts.h"

#include <algorithm>
#include <cmath>

#include "host/label_place.h"
#include "qt/host_rects.h"

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

}  // namespace

QFont labelFont(const Label& label, const QFont& windowFont) {
    if (!label.OwnFont) {
        // The desktop's own sans-serif face.
        QFont font = windowFont;
        font.setStyleHint(QFont::SansSerif);
        std::vector<quint32> indexes;
        std::vector<QPointF> advances;
        font.setPixelSize(host::defaultFontPixels(label, [&](std::string_view text, int pixels) {
            font.setPixelSize(pixels);
            return setGlyphs(QRawFont::fromFont(font),
                             QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())),
                             indexes, advances);
        }));
        return font;
    }
    const Font& own = *label.OwnFont;
    QFont font;
    QStringList faces{QString::fromStdString(own.Name)};
    for (std::string_view face : host::kFallbackFaces)
        faces += QString::fromLatin1(face.data(), static_cast<qsizetype>(face.size()));
    font.setFamilies(faces);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(own.Size);
    font.setWeight(static_cast<QFont::Weight>(own.Weight));
    return font;
}

std::array<bool, LabelTexts::kCount> LabelTexts::sync(const Form1View& view,
                                                      const QFont& windowFont) {
    std::array<bool, kCount> changed{};
    for (int i = 0; i < kCount; ++i) {
        const Label& source = label(view, i);
        Text& text = texts_[static_cast<std::size_t>(i)];
        if (valid_ && text.caption == source.Caption) continue;
        if (!valid_) text.font = QRawFont::fromFont(labelFont(source, windowFont));
        text.caption = source.Caption;
        layOut(text);
        changed[static_cast<std::size_t>(i)] = true;
    }
    valid_ = true;
    return changed;
}

void LabelTexts::layOut(Text& text) {
    setGlyphs(text.font, QString::fromStdString(text.caption), indexes_, advances_);

    // Glyphs stand on the baseline, one ascent below the top of the line.
    double ascent = text.font.isValid() ? text.font.ascent() : 0;
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
    text.width = x;
    text.height = text.font.isValid() ? ascent + text.font.descent() : 0;
}

LabelPlace placeOf(const Label& label, const LabelTexts::Text& text) {
    const host::LabelPlace place = host::placeOf(label, text.width, text.height);
    return {toQRect(place.box), toQRect(place.inner), place.bordered,
            QPoint(place.textLeft, place.textTop), place.overflows};
}

}  // namespace vandrel::qt
