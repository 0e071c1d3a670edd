# SPDX-License-Identifier: MIT
# What every WebAssembly build of the game is compiled and linked with (the node preset's trace
# tool, and whatever else inherits the emscripten preset), beside the options of every build.
# C++ exceptions, at compile and at link: without them a run-time error aborts the module
# instead of reaching the dispatcher's catch. WebAssembly's own exceptions make a smaller and
# faster module than emscripten's JavaScript ones (-fexceptions).
target_compile_options(vandrel_build_options INTERFACE -fwasm-exceptions)
target_link_options(vandrel_build_options INTERFACE -fwasm-exceptions)
