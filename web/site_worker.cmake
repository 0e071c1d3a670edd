# SPDX-License-Identifier: MIT
# Writes the page's service worker (sw.js) from its template, once the other files of the
# site are built: the files it keeps, each with its SHA-256 as the worker checks it (a
# Subresource Integrity value), and a version named by their contents; then, as the page's
# other scripts, without its comments and blanks (site_script.cmake).
#
#   cmake -DSITE=DIR -DTEMPLATE=sw.js.in -DFILES=a,b,... -DSCRATCH=sw.js -DNODE=node
#         -DOPTIMIZER=acorn-optimizer.js -DSCRIPT=site_script.cmake -P site_worker.cmake

# The SHA-256 of `file` as an integrity value: "sha256-" and the digest in base64.
function(integrity_of file out)
  file(SHA256 ${file} hex)
  set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
  # 32 bytes: ten groups of three, and two bytes more, made a group with a zero byte.
  string(APPEND hex "00")
  set(base64 "")
  foreach(at RANGE 0 60 6)
    string(SUBSTRING ${hex} ${at} 6 group)
    math(EXPR value "0x${group}")
    foreach(shift 18 12 6 0)
      math(EXPR index "(${value} >> ${shift}) & 63")
      string(SUBSTRING ${alphabet} ${index} 1 digit)
      string(APPEND base64 ${digit})
    endforeach()
  endforeach()
  string(SUBSTRING ${base64} 0 43 base64)
  set(${out} "sha256-${base64}=" PARENT_SCOPE)
endfunction()

string(REPLACE "," ";" FILES "${FILES}")
set(contents "")
integrity_of(${SITE}/index.html page)
set(listed "[\"./\", \"${page}\"]")
foreach(file IN LISTS FILES)
  file(SHA256 ${SITE}/${file} hash)
  integrity_of(${SITE}/${file} integrity)
  string(APPEND contents "${file} ${hash}\n")
  string(APPEND listed ",\n    [\"${file}\", \"${integrity}\"]")
endforeach()
string(SHA256 version "${contents}")
string(SUBSTRING ${version} 0 16 VANDREL_SITE_VERSION)
set(VANDREL_SITE_FILES ${listed})
configure_file(${TEMPLATE} ${SCRATCH} @ONLY)
execute_process(COMMAND ${CMAKE_COMMAND} -DNODE=${NODE} -DOPTIMIZER=${OPTIMIZER}
                        -DSOURCE=${SCRATCH} -DTARGET=${SITE}/sw.js -DCLASSIC=ON -P ${SCRIPT}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "site_worker.cmake: sw.js could not be written")
endif()
