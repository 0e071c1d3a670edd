#include "trace_runner.h"

#include <sys/wait.h>

#include <gtest/gtest.h>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "trace/trace_run.h"

namespace vandrel::headless::testing {

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::vector<std::string> TraceResult::lines() const {
    std::vector<std::string> result;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

TraceResult traceLibrary(std::string_view script) {
    std::istringstream in{std::string(script)};
    std::ostringstream out, err;
    TraceResult result;
    result.status = runTrace(in, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

TraceResult traceBinary(std::string_view script) {
    const std::string base = ::testing::TempDir() + "vandrel_trace_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::ofstream(base + ".in", std::ios::binary) << script;
    const std::string command = std::string(VANDREL_TRACE_BINARY) + " < " + base + ".in > " + base +
                                ".out 2> " + base + ".err";
    const int raw = std::system(command.c_str());
    TraceResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = readFile(base + ".out");
    result.err = readFile(base + ".err");
    return result;
}

}  // namespace vandrel::headless::testing
