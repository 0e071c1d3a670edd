# SPDX-License-Identifier: MIT
# Writes one of the page's scripts as a player downloads it: emscripten's JavaScript optimiser
# drops its comments and blanks; the licence's line stays first.
#
#   cmake -DNODE=node -DOPTIMIZER=acorn-optimizer.js -DSOURCE=page.js -DTARGET=site/page.js
#         -P site_script.cmake
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
          ${NODE} ${OPTIMIZER} ${SOURCE} minifyWhitespace --exportES6
  OUTPUT_VARIABLE script RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "site_script.cmake: the optimiser could not read ${SOURCE}")
endif()
file(WRITE ${TARGET} "// SPDX-License-Identifier: MIT\n${script}\n")
