// SPDX-License-Identifier: MIT
#include "host/announcements.h"

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

void Announcements::hearAll(const Form1View& view) {
    prompt_ = promptShown(view);
    score_ = caption(view, K::lblScore);
    height_ = caption(view, K::lblHeight);
    saidAt_.reset();
}

Announcements::Step Announcements::update(const Form1View& view, bool boxUp, std::int64_t now) {
    Step step;
    // A hidden prompt says nothing; the height will tell of the flight.
    if (const std::string_view prompt = promptShown(view); prompt != prompt_) {
        prompt_ = prompt;
        if (!prompt_.empty()) step.say = Utterance{prompt_, true};
    }
    if (const std::string& score = caption(view, K::lblScore); score != score_) {
        score_ = score;
        if (!step.say) step.say = Utterance{score_, true};
    }
    if (step.say) saidAt_ = now;

    const std::string& height = caption(view, K::lblHeight);
    if (!flying(view, boxUp) || height == height_) return step;
    const std::int64_t free = saidAt_ ? *saidAt_ + kHeightPause.count() : now;
    if (now < free) {
        step.due = free;
    } else {
        height_ = height;
        saidAt_ = now;
        step.say = Utterance{height_, false};
    }
    return step;
}

}  // namespace vandrel::host
