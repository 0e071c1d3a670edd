// SPDX-License-Identifier: MIT
#include "web/web_game.h"

#include <algorithm>

#include "host/box.h"
#include "host/label_place.h"
#include "shell/game_name.h"
#include "shell/script/json_writer.h"
#include "web/key_names.h"
#include "web/page.h"

namespace vandrel::web {

namespace {

// The fonts the page is told of: one for each label, and one to try sizes in.
constexpr int kTrialFont = static_cast<int>(kLabels.size());

// A label's own font in CSS: its face first, then faces like it, then the browser's own.
std::string cssFont(const Font& font) {
    std::string css = font.Italic ? "italic " : "";
    css += std::to_string(font.Weight) + ' ';
    // The size in hundredths of a point, written without the C library's number formatting.
    const auto hundredths = static_cast<long>(font.Size * 100 + 0.5);
    css += std::to_string(hundredths / 100) + '.' + std::to_string(hundredths / 10 % 10) +
           std::to_string(hundredths % 10) + "pt \"" + font.Name + '"';
    for (std::string_view face : host::kFallbackFaces)
        css.append(", \"").append(face) += '"';
    return css + ", sans-serif";
}

std::string defaultFont(int pixels) {
    return std::to_string(pixels) + "px sans-serif";
}

}  // namespace

WebGame::WebGame(Regional regional, const SystemColours& colours,
                 std::optional<std::vector<host::Replay::Step>> steps)
    : regional_(std::move(regional)),
      colours_(colours),
      game_(*this),
      player_(game_, *this),
      recorder_(recording_, {}),
      clock_(game_.view().state().Timer1.Interval),
      damage_(host::sceneArea(game_.view()).width, host::sceneArea(game_.view()).height),
      announcements_(game_.view()) {
    game_.observe(&recorder_);
    chooseFonts();
    shown_ = host::SceneState::capture(game_.view());
    if (steps) {
        // A script's `close` ends the game as closing the window does.
        replay_.emplace(player_, std::move(*steps), host::Replay::Hooks{{}, [this] {
                                                                            player_.close();
                                                                            end(Ending::Close);
                                                                            page::exited();
                                                                        }});
    }
    player_.load();
    draw(true);
    announce();
}

WebGame::~WebGame() {
    game_.observe(nullptr);
}

void WebGame::chooseFonts() {
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        const Label& label = game_.view().label(kLabels[i]);
        if (label.OwnFont) {
            page::setFont(static_cast<int>(i), cssFont(*label.OwnFont));
            continue;
        }
        const int pixels = host::defaultFontPixels(label, [](std::string_view text, int size) {
            page::setFont(kTrialFont, defaultFont(size));
            return page::textWidth(kTrialFont, text);
        });
        page::setFont(static_cast<int>(i), defaultFont(pixels));
    }
}

std::int32_t WebGame::flags() const {
    return (clockRuns_ ? kClockRuns : 0) | (player_.ended() ? kEnded : 0);
}

std::int32_t WebGame::key(bool down, std::string_view key, std::string_view code,
                          std::int16_t shift) {
    const std::optional<std::int16_t> keyCode = virtualKey(key, code);
    if (!keyCode) return flags();
    if (!player_.ended()) {
        if (down) {
            player_.keyDown(*keyCode, shift);
        } else {
            player_.released(*keyCode, shift);
        }
    }
    return flags() | kKeyTaken;
}

std::int32_t WebGame::click(std::string_view menuName) {
    if (!player_.ended()) player_.click(menuName);
    return flags();
}

std::int32_t WebGame::frame(double now) {
    if (clockRuns_) {
        for (std::int64_t due = clock_.frame(now); due > 0 && clockRuns_; --due)
            player_.tick();
    }
    draw();
    return flags();
}

std::int32_t WebGame::left(bool windowLeft) {
    if (windowLeft) {
        player_.windowLeft();
    } else {
        player_.keyboardLeft();
    }
    return flags();
}

std::int32_t WebGame::redraw(const SystemColours& colours) {
    colours_ = colours;
    draw(true);
    return flags();
}

void WebGame::ran(bool fromClock) {
    runClock();
    // A tick's changes are drawn once the frame's ticks have all run.
    if (!fromClock) draw();
    announce();
}

std::int32_t WebGame::wake() {
    wakeAt_.reset();
    announce();
    return flags();
}

void WebGame::announce() {
    const host::Announcements::Step step =
        announcements_.update(game_.view(), boxUp_, static_cast<std::int64_t>(page::now()));
    if (step.say) page::announce(step.say->text, step.say->atOnce);
    if (step.due != wakeAt_) {
        wakeAt_ = step.due;
        page::wakeAt(step.due ? static_cast<double>(*step.due) : -1);
    }
    if (const std::string_view prompt = host::promptShown(game_.view()); prompt != described_) {
        described_ = prompt;
        page::describe(described_);
    }
}

void WebGame::clockChanged() {
    runClock();
}

void WebGame::runClock() {
    const bool wanted = player_.clockWanted() && !boxUp_;
    if (wanted && !clockRuns_) clock_.start(page::now());
    clockRuns_ = wanted;
}

void WebGame::end(Ending ending) {
    recorder_.end(ending);
    clockRuns_ = false;
    wakeAt_.reset();
    page::wakeAt(-1);
    draw();
}

void WebGame::exited() {
    end(Ending::Exit);
    page::exited();
}

void WebGame::failed(const std::string& prompt) {
    end(Ending::Error);
    const host::Rect place = layOutBox(kGameName, prompt);
    page::failed(place.left, place.top);
}

host::Rect WebGame::layOutBox(std::string_view title, std::string_view prompt) {
    const std::int32_t size = page::boxSize(title, host::promptText(prompt));
    return host::boxPlace(size >> 16, size & 0xFFFF, host::sceneArea(game_.view()),
                          host::keptInView(game_.view()));
}

int WebGame::MsgBox(const std::string& prompt, int /*buttons: only OK is used*/,
                    const std::string& title) {
    // The player sees the scene as the handler left it (the green or red hull) under the box,
    // which holds the clock and takes the keyboard.
    draw();
    boxUp_ = true;
    runClock();
    announce();
    player_.keyboardLeft();
    const std::string text = host::promptText(prompt);
    const std::int32_t size = page::boxSize(title, text);
    const host::Rect place = host::boxPlace(
        size >> 16, size & 0xFFFF, host::sceneArea(game_.view()), host::keptInView(game_.view()));
    page::awaitBox(place.left, place.top);
    boxUp_ = false;
    runClock();  // a fresh period
    return 1;    // OK
}

std::int32_t WebGame::rgb(Color colour) const {
    host::Rgb rgb = host::rgbOf(colour);
    if (isSystemColor(colour)) {
        rgb = host::defaultSchemeColor(systemColorIndex(colour));
        for (std::size_t i = 0; i < std::size(host::kSystemColors); ++i) {
            if (host::kSystemColors[i] == systemColorIndex(colour)) rgb = colours_[i];
        }
    }
    return rgb.red << 16 | rgb.green << 8 | rgb.blue;
}

void WebGame::draw(bool all) {
    const Form1View& view = game_.view();
    const host::SceneState now = host::SceneState::capture(view);
    std::array<bool, kLabels.size()> relaid{};
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        Caption& caption = captions_[i];
        const std::string& text = view.label(kLabels[i]).Caption;
        if (caption.measured && caption.text == text) continue;
        caption.text = text;
        caption.width = page::textWidth(static_cast<int>(i), text);
        caption.height = page::lineHeight(static_cast<int>(i));
        caption.measured = relaid[i] = true;
    }
    if (all) {
        damage_.addAll();
    } else {
        host::SceneState::forEachChange(shown_, now, relaid, view,
                                        [this](const host::Rect& r) { damage_.add(r); });
    }
    shown_ = now;
    if (damage_.isEmpty()) return;

    clip_.clear();
    for (const host::Rect& r : damage_.rects())
        clip_.insert(clip_.end(), {r.left, r.top, r.width, r.height});
    page::beginFrame(clip_.data(), static_cast<int>(clip_.size() / 4));
    for (const host::Rect& r : damage_.rects())
        page::fill(r, rgb(now.BackColor));
    now.forEachInDrawingOrder(
        [this](int index, const host::SceneState::LabelLook& look) { drawLabel(index, look); },
        [this](const host::SceneState::ShapeLook& star) {
            if (!damage_.intersects(host::footprint(star))) return;
            page::oval({star.left, star.top, star.width, star.height}, rgb(star.FillColor),
                       rgb(star.BorderColor), star.BorderWidth);
        },
        [this](const host::SceneState::LineLook& line) {
            if (!damage_.intersects(host::footprint(line))) return;
            page::line(line.x1, line.y1, line.x2, line.y2, rgb(line.BorderColor), line.BorderWidth);
        });
    page::endFrame();
    damage_.clear();
}

void WebGame::drawLabel(int index, const host::SceneState::LabelLook& look) {
    const Label& label = game_.view().label(kLabels[static_cast<std::size_t>(index)]);
    const Caption& caption = captions_[static_cast<std::size_t>(index)];
    const host::LabelPlace place = host::placeOf(label, caption.width, caption.height);
    if (!look.Visible || !damage_.intersects(place.box)) return;
    // The border is filled rather than stroked, so that it covers exactly its ring.
    if (place.bordered) page::fill(place.box, rgb(systemColor(SystemColor::WindowText)));
    page::fill(place.inner, rgb(look.BackColor));
    page::text(index, caption.text, place.textLeft, place.textTop, rgb(look.ForeColor),
               place.overflows ? place.inner : host::Rect{});
}

std::string WebGame::menus() const {
    std::string json;
    const std::vector<const MenuItem*> options = game_.view().optionItems();
    auto item = [&](const auto& self, const MenuItem& menu) -> void {
        json += "{\"name\":";
        appendJsonString(json, menu.Name);
        json += ",\"caption\":";
        appendJsonString(json, menu.Caption);
        json += ",\"option\":";
        appendBool(json, std::find(options.begin(), options.end(), &menu) != options.end());
        json += ",\"items\":[";
        for (std::size_t i = 0; i < menu.Children.size(); ++i) {
            if (i > 0) json += ',';
            self(self, *menu.Children[i]);
        }
        json += "]}";
    };
    json += '[';
    for (const MenuItem* menu : game_.view().state().menuBar) {
        if (json.size() > 1) json += ',';
        item(item, *menu);
    }
    return json + ']';
}

std::string WebGame::checks() const {
    std::string marks;
    for (const MenuItem* item : game_.view().menuItems())
        marks += item->Checked ? '1' : '0';
    return marks;
}

std::string WebGame::recording() {
    recorder_.writeTicks();
    return recording_.text + Recorder::finalLine(game_.view(), game_.ticks());
}

}  // namespace vandrel::web
