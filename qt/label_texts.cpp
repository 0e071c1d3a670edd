#include "qt/label_texts.h"

namespace vandrel::qt {

QFont labelFont(const Label& label, const QFont& windowFont) {
    if (!label.OwnFont) return windowFont;
    const Font& own = *label.OwnFont;
    QFont font;
    font.setFamilies({QString::fromStdString(own.Name), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(own.Size);
    font.setWeight(static_cast<QFont::Weight>(own.Weight));
    font.setItalic(own.Italic);
    font.setUnderline(own.Underline);
    font.setStrikeOut(own.Strikethrough);
    return font;
}

const Label& LabelTexts::label(const Form1View& view, int index) {
    switch (index) {
        case 0:
            return view.lblPause();
        case 1:
            return view.lblScore();
        case 2:
            return view.lblHeight();
        case 3:
            return view.lblThrust();
        default:
            return view.lblFuel();
    }
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
    QString chars = QString::fromStdString(text.caption);
    int count = static_cast<int>(chars.size());
    indexes_.resize(static_cast<std::size_t>(count));
    if (!text.font.isValid() ||
        !text.font.glyphIndexesForChars(chars.constData(), count, indexes_.data(), &count)) {
        count = 0;  // no font to show it in
    }
    indexes_.resize(static_cast<std::size_t>(count));
    advances_.resize(static_cast<std::size_t>(count));
    if (count > 0) text.font.advancesForGlyphIndexes(indexes_.data(), advances_.data(), count);

    // Glyphs stand on the baseline, one ascent below the top of the line.
    double ascent = text.font.isValid() ? text.font.ascent() : 0;
    QList<QPointF> positions;
    positions.reserve(count);
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

}  // namespace vandrel::qt
