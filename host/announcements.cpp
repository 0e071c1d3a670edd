// SPDX-License-Identifier: MIT
#include "host/announcements.h"

#include <cctype>
#include <cmath>

namespace vandrel::host {

namespace {

using K = SceneControl::Kind;

const std::string& caption(const Form1View& view, K kind) {
    return view.label(SceneControl{kind, 0}).Caption;
}

}  // namespace

std::string_view promptShown(const Form1View& view) {
    const Label& prompt = view.label(SceneControl{K::lblPause, 0});
    return prompt.Visible ? std::string_view(prompt.Caption) : std::string_view();
}

std::string heightWords(const Form1View& view) {
    // The readout's figure (shell/readouts.cpp), rounded half away from zero. One beyond any
    // flight's reach is said as the readout shows it.
    const double height = static_cast<float>(view.state().Ground(1).Y1 / 100.0);
    if (!(std::abs(height) < 1e15)) return caption(view, K::lblHeight);
    const long long whole = std::llround(height);
    return whole < 0 ? "Height minus " + std::to_string(-whole) : "Height " + std::to_string(whole);
}

std::string scoreWords(const Form1View& view) {
    // A score is a whole number: its caption's digits, without the group separators.
    std::string digits;
    for (const char c : caption(view, K::lblScore)) {
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    }
    return digits.empty() ? std::string() : "Score " + digits;
}

void Announcements::hearAll(const Form1View& view) {
    prompt_ = promptShown(view);
    score_ = scoreWords(view);
    height_ = heightWords(view);
    saidAt_.reset();
}

Announcements::Step Announcements::update(const Form1View& view, bool boxUp, std::int64_t now) {
    Step step;
    // A hidden prompt says nothing; the height will tell of the flight.
    if (const std::string_view prompt = promptShown(view); prompt != prompt_) {
        prompt_ = prompt;
        if (!prompt_.empty()) step.say = Utterance{prompt_, true};
    }
    // A score cleared by a reset says nothing either.
    if (std::string score = scoreWords(view); score != score_) {
        score_ = std::move(score);
        if (!step.say && !score_.empty()) step.say = Utterance{score_, true};
    }
    if (step.say) saidAt_ = now;

    if (!flying(view, boxUp)) return step;
    std::string height = heightWords(view);
    if (height == height_) return step;
    const std::int64_t free = saidAt_ ? *saidAt_ + kHeightPause.count() : now;
    if (now < free) {
        step.due = free;
    } else {
        height_ = std::move(height);
        saidAt_ = now;
        step.say = Utterance{height_, false};
    }
    return step;
}

}  // namespace vandrel::host
