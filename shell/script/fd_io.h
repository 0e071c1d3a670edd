// SPDX-License-Identifier: MIT
// Scripts read from and lines written to the system's file descriptors: standard input and
// output for the trace tool, a script or a recording file for the tool and the window.
#pragma once

#include <string>

#include "shell/script/script_io.h"

namespace vandrel {

/// Reads a descriptor, which it does not close; waits when one left non-blocking has nothing.
class FdSource : public ScriptSource {
  public:
    explicit FdSource(int fd) : fd_(fd) {}
    std::size_t read(char* buffer, std::size_t capacity) override;

  private:
    int fd_;
};

/// Writes a descriptor, which it does not close, all of every piece or an IoError.
class FdSink : public OutputSink {
  public:
    explicit FdSink(int fd) : fd_(fd) {}
    void write(std::string_view bytes) override;

  private:
    int fd_;
};

/// A file, opened for reading or created (or emptied) for writing, closed with the object.
class File {
  public:
    enum class Mode { Read, Replace };
    /// After a failure, valid() is false and reason() says why ("Permission denied").
    File(const std::string& path, Mode mode);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool valid() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const std::string& reason() const { return reason_; }

  private:
    int fd_ = -1;
    std::string reason_;
};

}  // namespace vandrel
