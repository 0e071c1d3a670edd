// SPDX-License-Identifier: MIT
#include "shell/script/fd_io.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vandrel {

namespace {

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

}  // namespace

std::size_t FdSource::read(char* buffer, std::size_t capacity) {
    constexpr auto kRead = IoError::Direction::Read;
    for (;;) {
        const ssize_t count = ::read(fd_, buffer, capacity);
        if (count >= 0) return static_cast<std::size_t>(count);
        if (!retry(fd_, POLLIN, kRead)) throw IoError{kRead, std::strerror(errno)};
    }
}

void FdSink::write(std::string_view bytes) {
    constexpr auto kWrite = IoError::Direction::Write;
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd_, bytes.data(), bytes.size());
        if (count >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(count));
        } else if (!retry(fd_, POLLOUT, kWrite)) {
            throw IoError{kWrite, std::strerror(errno)};
        }
    }
}

File::File(const std::string& path, Mode mode) {
    const int flags = mode == Mode::Read ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC;
    do {
        fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        reason_ = std::strerror(errno);
        return;
    }
    // A directory opens for reading but reads fail: say so now, as the shell would.
    struct stat status {};
    if (mode == Mode::Read && ::fstat(fd_, &status) == 0 && S_ISDIR(status.st_mode)) {
        reason_ = std::strerror(EISDIR);
        ::close(fd_);
        fd_ = -1;
    }
}

File::~File() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace vandrel
