// SPDX-License-Identifier: MIT
#include "host/scene.h"

#include "host/label_place.h"

namespace vandrel::host {

namespace {

FontChoice fontOf(const Label& label) {
    FontChoice font;
    if (!label.OwnFont) return font;
    const Font& own = *label.OwnFont;
    font.faces.push_back(own.Name);
    font.faces.insert(font.faces.end(), kFallbackFaces.begin(), kFallbackFaces.end());
    font.points = own.Size;
    font.weight = own.Weight;
    font.italic = own.Italic;
    return font;
}

}  // namespace

Scene::Scene(const Form1View& view, Toolkit& toolkit)
    : view_(view),
      toolkit_(toolkit),
      shown_(SceneState::capture(view)),
      unpainted_(sceneArea(view).width, sceneArea(view).height) {
    coloursChanged();
    fontsChanged();
}

void Scene::coloursChanged() {
    for (std::size_t i = 0; i < system_.size(); ++i) {
        system_[i] =
            toolkit_.systemColour(kSystemColors[i]).value_or(defaultSchemeColor(kSystemColors[i]));
    }
    unpainted_.addAll();
}

void Scene::fontsChanged() {
    chooseFonts();
    layOut(true);
    unpainted_.addAll();
}

void Scene::chooseFonts() {
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        const Label& label = view_.label(kLabels[i]);
        FontChoice font = fontOf(label);
        if (!label.OwnFont) {
            // The desktop's sans-serif face, at a size the widest readouts fit.
            font.pixels = defaultFontPixels(label, [this](std::string_view text, int pixels) {
                FontChoice trial;
                trial.pixels = pixels;
                return toolkit_.trialWidth(trial, text);
            });
        }
        toolkit_.setFont(static_cast<int>(i), font);
    }
}

std::array<bool, kLabels.size()> Scene::layOut(bool all) {
    std::array<bool, kLabels.size()> relaid{};
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        Caption& caption = captions_[i];
        const std::string& text = view_.label(kLabels[i]).Caption;
        if (!all && caption.text == text) continue;
        caption.text = text;
        caption.size = toolkit_.layOut(static_cast<int>(i), text);
        relaid[i] = true;
    }
    return relaid;
}

bool Scene::catchUp() {
    const SceneState now = SceneState::capture(view_);
    const std::array<bool, kLabels.size()> relaid = layOut(false);
    bool changed = false;
    const Rect all = sceneArea(view_);
    SceneState::forEachChange(shown_, now, relaid, view_, [&](const Rect& area) {
        if (!area.intersects(all)) return;
        unpainted_.add(area);
        changed = true;
    });
    shown_ = now;
    return changed;
}

Rgb Scene::rgb(Color colour) const {
    if (!isSystemColor(colour)) return rgbOf(colour);
    const SystemColor index = systemColorIndex(colour);
    for (std::size_t i = 0; i < system_.size(); ++i) {
        if (kSystemColors[i] == index) return system_[i];
    }
    return defaultSchemeColor(index);
}

void Scene::paintChanges(Surface& surface) {
    if (unpainted_.isEmpty()) return;
    paint(surface, unpainted_);
    unpainted_.clear();
}

void Scene::paint(Surface& surface, const Damage& area) const {
    if (area.isEmpty()) return;
    surface.begin(area.rects());
    for (const Rect& part : area.rects())
        surface.fill(part, rgb(shown_.BackColor));
    shown_.forEachInDrawingOrder(
        [&](int index, const SceneState::LabelLook& look) {
            paintLabel(surface, area, index, look);
        },
        [&](const SceneState::ShapeLook& star) {
            if (!area.intersects(footprint(star))) return;
            // An outline drawn round a box of w x h pixels covers w+1 x h+1: one pixel in.
            surface.oval({star.left, star.top, star.width - 1, star.height - 1},
                         rgb(star.FillColor), rgb(star.BorderColor), star.BorderWidth);
        },
        [&](const SceneState::LineLook& line) {
            if (!area.intersects(footprint(line))) return;
            surface.line(line.x1, line.y1, line.x2, line.y2, rgb(line.BorderColor),
                         line.BorderWidth);
        });
    surface.end();
}

void Scene::paintLabel(Surface& surface, const Damage& area, int index,
                       const SceneState::LabelLook& look) const {
    const Label& label = view_.label(kLabels[static_cast<std::size_t>(index)]);
    const TextSize& size = captions_[static_cast<std::size_t>(index)].size;
    const LabelPlace place = placeOf(label, size.width, size.height);
    if (!look.Visible || !area.intersects(place.box)) return;
    // The border is filled rather than stroked, so that it covers exactly its ring at any
    // pixel density (a one-pixel pen would straddle the box's edge at two device pixels a
    // pixel).
    if (place.bordered) surface.fill(place.box, rgb(systemColor(SystemColor::WindowText)));
    const Rgb paper = rgb(look.BackColor);
    surface.fill(place.inner, paper);
    surface.text(index, place.textLeft, place.textTop, rgb(look.ForeColor), paper,
                 place.overflows ? std::optional<Rect>(place.inner) : std::nullopt);
}

}  // namespace vandrel::host
