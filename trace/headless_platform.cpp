#include "trace/headless_platform.h"

#include "trace/json_writer.h"

namespace vandrel::headless {

int HeadlessPlatform::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    line_.clear();
    line_ += "{\"msgbox\":{\"title\":";
    appendJsonString(line_, title);
    line_ += ",\"prompt\":";
    appendJsonString(line_, prompt);
    line_ += ",\"buttons\":";
    appendInteger(line_, buttons);
    line_ += "}}\n";
    out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
    constexpr int kOk = 1;
    return kOk;
}

}  // namespace vandrel::headless
