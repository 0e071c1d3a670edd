// SPDX-License-Identifier: MIT
#include "trace/headless_platform.h"

#include "shell/script/json_writer.h"

namespace vandrel::headless {

int HeadlessPlatform::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    out_ += "{\"msgbox\":{\"title\":";
    appendJsonString(out_, title);
    out_ += ",\"prompt\":";
    appendJsonString(out_, prompt);
    out_ += ",\"buttons\":";
    appendInteger(out_, buttons);
    out_ += "}}\n";
    constexpr int kOk = 1;
    return kOk;
}

}  // namespace vandrel::headless
