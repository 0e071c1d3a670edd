// SPDX-License-Identifier: MIT
// vandrel-trace: replays a script of key, menu and timer events against the game without a
// window and writes what happens as JSON Lines.
//
// Exit status: 0 when the script ran to its end or the game ended by Exit or close, 2 for a
// malformed script line, 3 for an unhandled run-time error, 4 when standard input could not
// be read or standard output not written.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "trace/trace_run.h"

namespace {

using vandrel::headless::IoError;

// Waits until `fd` is ready after EAGAIN: a descriptor left non-blocking by whoever opened it.
void waitFor(int fd, short events, IoError::Direction direction) {
    pollfd ready{fd, events, 0};
    while (poll(&ready, 1, -1) < 0) {
        if (errno != EINTR) throw IoError{direction, std::strerror(errno)};
    }
}

bool retry(int fd, short events, IoError::Direction direction) {
    if (errno == EINTR) return true;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
    waitFor(fd, events, direction);
    return true;
}

class StandardInput : public vandrel::headless::ScriptSource {
  public:
    std::size_t read(char* buffer, std::size_t capacity) override {
        constexpr auto kRead = IoError::Direction::Read;
        for (;;) {
            const ssize_t count = ::read(STDIN_FILENO, buffer, capacity);
            if (count >= 0) return static_cast<std::size_t>(count);
            if (!retry(STDIN_FILENO, POLLIN, kRead)) throw IoError{kRead, std::strerror(errno)};
        }
    }
};

class StandardOutput : public vandrel::headless::OutputSink {
  public:
    void write(std::string_view bytes) override {
        constexpr auto kWrite = IoError::Direction::Write;
        while (!bytes.empty()) {
            const ssize_t count = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
            if (count >= 0) {
                bytes.remove_prefix(static_cast<std::size_t>(count));
            } else if (!retry(STDOUT_FILENO, POLLOUT, kWrite)) {
                throw IoError{kWrite, std::strerror(errno)};
            }
        }
    }
};

}  // namespace

int main() {
    StandardInput script;
    StandardOutput out;
    return vandrel::headless::runTrace(script, out, std::cerr);
}
