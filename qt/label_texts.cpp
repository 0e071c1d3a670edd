#include "qt/label_texts.h"

#include <QTransform>

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

bool LabelTexts::sync(const Form1View& view, const QFont& windowFont) {
    bool changed = false;
    for (int i = 0; i < kCount; ++i) {
        const Label& source = label(view, i);
        Text& text = texts_[static_cast<std::size_t>(i)];
        if (valid_ && text.caption == source.Caption) continue;
        text.caption = source.Caption;
        text.font = labelFont(source, windowFont);
        text.prepared.setTextFormat(Qt::PlainText);
        text.prepared.setText(QString::fromStdString(source.Caption));
        text.prepared.prepare(QTransform(), text.font);
        text.width = text.prepared.size().width();
        changed = true;
    }
    valid_ = true;
    return changed;
}

}  // namespace vandrel::qt
