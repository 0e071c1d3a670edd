// SPDX-License-Identifier: MIT
#include "shell/session.h"

namespace vandrel {

Session::Session(Platform& platform)
    : platform_(platform, dispatcher_),
      form_(platform_),
      dispatcher_(form_),
      view_(form_.state()) {}

int Session::ObservedPlatform::MsgBox(const std::string& prompt, int buttons,
                                      const std::string& title) {
    if (EventObserver* observer = dispatcher_.observer()) observer->boxOpens();
    return host_.MsgBox(prompt, buttons, title);
}

}  // namespace vandrel
