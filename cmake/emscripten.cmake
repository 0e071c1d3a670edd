# SPDX-License-Identifier: MIT
# What every WebAssembly build of the game is compiled and linked with (the node preset's trace
# tool, the web preset's page), beside the options of every build.
# C++ exceptions, at compile and at link: without them a run-time error aborts the module
# instead of reaching the dispatcher's catch. WebAssembly's own exceptions make a smaller and
# faster module than emscripten's JavaScript ones (-fexceptions), but the page's boxes suspend
# the game's stack inside the dispatcher's try (Asyncify), which binaryen 108 (Debian 12's)
# cannot do through WebAssembly's try blocks: the page takes the JavaScript ones.
# The page is built for size, as a whole (link-time optimisation): what a player downloads.
if(VANDREL_WEB)
  set(vandrel_wasm_options -fexceptions -Oz -flto)
else()
  set(vandrel_wasm_options -fwasm-exceptions)
endif()
target_compile_options(vandrel_build_options INTERFACE ${vandrel_wasm_options})
target_link_options(vandrel_build_options INTERFACE ${vandrel_wasm_options})
