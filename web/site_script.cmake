# SPDX-License-Identifier: MIT
# Writes one of the page's scripts as a player downloads it: emscripten's JavaScript optimiser
# drops its comments and blanks; the licence's line stays first. A module, or with CLASSIC a
# classic script (the service worker).
#
#   cmake -DNODE=node -DOPTIMIZER=acorn-optimizer.js -DSOURCE=page.js -DTARGET=site/page.js
#         [-DCLASSIC=ON] -P site_script.cmake
if(CLASSIC)
  set(kind)
else()
  set(kind --exportES6)
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
          ${NODE} ${OPTIMIZER} ${SOURCE} minifyWhitespace ${kind}
  OUTPUT_VARIABLE script RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "site_script.cmake: the optimiser could not read ${SOURCE}")
endif()
file(WRITE ${TARGET} "// SPDX-License-Identifier: MIT\n${script}\n")
