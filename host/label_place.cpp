// SPDX-License-Identifier: MIT
#include "host/label_place.h"

#include <cmath>

#include "host/scene_state.h"

namespace vandrel::host {

int textRoom(const Label& label) {
    const int room = labelBox(label).width - 1;
    return label.Border == BorderStyle::FixedSingle ? room - 2 : room;
}

LabelPlace placeOf(const Label& label, double textWidth, double textHeight) {
    LabelPlace place;
    place.box = labelBox(label);
    place.bordered = label.Border == BorderStyle::FixedSingle;
    // The border is the box's outermost ring of pixels.
    place.inner = place.bordered ? place.box.adjusted(1, 1, -1, -1) : place.box;
    const int width = static_cast<int>(std::ceil(textWidth));
    place.textLeft = place.inner.left + 1;
    if (label.TextAlign == Alignment::Center) {
        place.textLeft = place.inner.left + (place.inner.width - width) / 2;
    }
    place.textTop = place.inner.top;
    place.overflows = width > place.inner.width || textHeight > place.inner.height;
    return place;
}

}  // namespace vandrel::host
