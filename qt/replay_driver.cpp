// SPDX-License-Identifier: MIT
#include "qt/replay_driver.h"

#include <cstdio>
#include <utility>

#include "trace/fd_io.h"

namespace vandrel::qt {

std::optional<std::vector<ReplayDriver::Step>> ReplayDriver::read(const std::string& path) {
    const headless::File file(path, headless::File::Mode::Read);
    std::string reason = file.reason();
    if (file.valid()) {
        try {
            headless::FdSource source(file.fd());
            auto read = host::Replay::read(source, path, [](const std::string& note) {
                std::fprintf(stderr, "vandrel: %s\n", note.c_str());
            });
            if (auto* steps = std::get_if<std::vector<Step>>(&read)) return std::move(*steps);
            const auto& refusal = std::get<host::Replay::Refusal>(read);
            std::fprintf(stderr, "vandrel: %s: line %llu: %s\n", path.c_str(),
                         static_cast<unsigned long long>(refusal.line), refusal.reason.c_str());
            return std::nullopt;
        } catch (const IoError& error) {
            reason = error.reason;
        }
    }
    std::fprintf(stderr, "vandrel: cannot read '%s': %s\n", path.c_str(), reason.c_str());
    return std::nullopt;
}

ReplayDriver::ReplayDriver(GameWindow& window, std::vector<Step> steps)
    : host::Replay(window.player(), std::move(steps),
                   {[](const std::string& line) {
                        std::fwrite(line.data(), 1, line.size(), stdout);
                        std::fputc('\n', stdout);
                        std::fflush(stdout);
                    },
                    [&window] { window.close(); }}) {}

}  // namespace vandrel::qt
