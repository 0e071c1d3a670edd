// SPDX-License-Identifier: MIT
#include "qt/label_texts.h"

#include <algorithm>
#include <cmath>

#include "qt/scene_state.h"

namespace vandrel::qt {

namespace {

// The forms' classic default size, 8 points: 11 pixels at 96 dots per inch. A smaller size
// is taken only when the desktop's face is too wide for the figures at this one.
constexpr int kDefaultPixels = 11;
constexpr int kSmallestPixels = 8;

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

// The room for text in a label: its box less the border and the text's one-pixel lead.
int textRoom(const Label& label) {
    int room = pixelBox(label.Left, label.Top, label.Width, label.Height).width() - 1;
    return label.Border == BorderStyle::FixedSingle ? room - 2 : room;
}

}  // namespace

QFont labelFont(const Label& label, const QFont& windowFont) {
    if (!label.OwnFont) {
        // The desktop's own sans-serif face, at the largest size up to the classic default at
        // which the widest readouts fit the label.
        QFont font = windowFont;
        font.setStyleHint(QFont::SansSerif);
        std::vector<quint32> indexes;
        std::vector<QPointF> advances;
        for (int pixels = kDefaultPixels; pixels > kSmallestPixels; --pixels) {
            font.setPixelSize(pixels);
            const QRawFont raw = QRawFont::fromFont(font);
            double widest = 0;
            for (std::string_view figure : kWidestReadouts) {
                const QString text = QString::fromLatin1(figure.data(), figure.size());
                widest = std::max(widest, setGlyphs(raw, text, indexes, advances));
            }
            if (widest <= textRoom(label)) return font;
        }
        font.setPixelSize(kSmallestPixels);
        return font;
    }
    const Font& own = *label.OwnFont;
    QFont font;
    font.setFamilies({QString::fromStdString(own.Name), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
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
    LabelPlace place;
    place.box = pixelBox(label.Left, label.Top, label.Width, label.Height);
    place.bordered = label.Border == BorderStyle::FixedSingle;
    // The border is the box's outermost ring of pixels.
    place.inner = place.bordered ? place.box.adjusted(1, 1, -1, -1) : place.box;
    const int textWidth = static_cast<int>(std::ceil(text.width));
    int x = place.inner.left() + 1;
    if (label.TextAlign == Alignment::Center) {
        x = place.inner.left() + (place.inner.width() - textWidth) / 2;
    }
    place.text = QPoint(x, place.inner.top());
    place.overflows = textWidth > place.inner.width() || text.height > place.inner.height();
    return place;
}

}  // namespace vandrel::qt
