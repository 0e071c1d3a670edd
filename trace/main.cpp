// vandrel-trace: replays a script of key, menu and timer events against the game without a
// window and writes what happens as JSON Lines. Exit status 0, 2 for a malformed script line,
// 3 for an unhandled run-time error.
#include <iostream>

#include "trace/trace_run.h"

int main() {
    // Buffered streams on both sides: a long flight must not cost a system call per line.
    std::ios::sync_with_stdio(false);
    std::cin.tie(nullptr);
    return vandrel::headless::runTrace(std::cin, std::cout, std::cerr);
}
