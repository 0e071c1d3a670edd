// SPDX-License-Identifier: MIT
#include "trace_runner.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <csignal>
#include <fstream>
#include <sstream>

#include "shell/script/script_io.h"
#include "trace/trace_run.h"

namespace vandrel::headless::testing {

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = write(fd, bytes.data(), bytes.size());
        if (count <= 0) _exit(0);  // the trace stopped reading: that is its business
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
}

// In the child: `fd` becomes `target`, or `target` is closed when `fd` is negative.
void redirect(int fd, int target) {
    if (fd < 0) {
        close(target);
    } else if (fd != target) {
        dup2(fd, target);
        close(fd);
    }
}

// The feeder of Input::Pipe, in a child of its own: the pipe's reading end stays open in
// the trace alone, so the feeder sees when the trace stops reading.
pid_t feed(int fd, std::string_view script, std::size_t longLine) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    std::signal(SIGPIPE, SIG_IGN);
    writeAll(fd, script);
    const std::string chunk(64 * 1024, 'x');
    for (std::size_t left = longLine; left > 0; left -= std::min(left, chunk.size()))
        writeAll(fd, std::string_view(chunk).substr(0, std::min(left, chunk.size())));
    writeAll(fd, "\ndump\n");
    _exit(0);
}

}  // namespace

std::vector<std::string> TraceResult::lines() const {
    std::vector<std::string> result;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::string flightScript(const std::string& name) {
    for (const char* dir : {VANDREL_FLIGHTS_DIR, VANDREL_BUILT_FLIGHTS_DIR}) {
        const std::string path = std::string(dir) + "/" + name + ".txt";
        if (std::ifstream(path).good()) return readFile(path);
    }
    ADD_FAILURE() << "no script for the flight " << name;
    return {};
}

TraceResult traceLibrary(std::string_view script) {
    TextSource in(script);
    StringSink out;
    std::ostringstream err;
    TraceResult result;
    result.status = runTrace(in, out, err);
    result.out = out.text;
    result.err = err.str();
    return result;
}

TraceResult traceBinary(std::string_view script, const BinarySetup& setup) {
    using Input = BinarySetup::Input;
    using Output = BinarySetup::Output;
    const std::string base = ::testing::TempDir() + "vandrel_trace_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::ofstream(base + ".in", std::ios::binary) << script;
    int pipeIn[2] = {-1, -1};
    if (setup.input == Input::Pipe && pipe(pipeIn) != 0) return {};

    const pid_t trace = fork();
    if (trace == 0) {
        int in = -1, out = -1;
        switch (setup.input) {
            case Input::File:
                in = open((base + ".in").c_str(), O_RDONLY);
                break;
            case Input::Pipe:
                close(pipeIn[1]);
                in = pipeIn[0];
                break;
            case Input::Closed:
                break;
            case Input::Directory:
                in = open("/", O_RDONLY);
                break;
            case Input::Argument:
                break;
        }
        std::signal(SIGPIPE, SIG_DFL);
        switch (setup.output) {
            case Output::File:
                out = open((base + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                break;
            case Output::Closed:
                break;
            case Output::Full:
                out = open("/dev/full", O_WRONLY);
                break;
            case Output::BrokenPipe: {
                int ends[2];
                if (pipe(ends) != 0) _exit(127);
                close(ends[0]);
                out = ends[1];
                std::signal(SIGPIPE, SIG_IGN);
                break;
            }
        }
        redirect(open((base + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        redirect(in, 0);
        redirect(out, 1);
        const std::string path = base + ".in";
        const char* argument = setup.input == Input::Argument ? path.c_str() : nullptr;
        execl(VANDREL_TRACE_BINARY, VANDREL_TRACE_BINARY, argument, static_cast<char*>(nullptr));
        _exit(127);
    }
    pid_t feeder = -1;
    if (setup.input == Input::Pipe) {
        close(pipeIn[0]);
        feeder = feed(pipeIn[1], script, setup.longLine);
        close(pipeIn[1]);
    }

    TraceResult result;
    result.scriptPath = base + ".in";
    int raw = 0;
    rusage usage{};
    if (wait4(trace, &raw, 0, &usage) == trace) {
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.peakKiB = usage.ru_maxrss;
    }
    if (feeder > 0) waitpid(feeder, nullptr, 0);
    result.out = setup.output == Output::File ? readFile(base + ".out") : "";
    result.err = readFile(base + ".err");
    return result;
}

}  // namespace vandrel::headless::testing
