# SPDX-License-Identifier: MIT
# Writes the page's service worker (sw.js) from its template, once the other files of the
# site are built: the list of files it keeps, and a version named by their contents.
#
#   cmake -DSITE=DIR -DTEMPLATE=sw.js.in -DFILES=a,b,... -P site_worker.cmake
string(REPLACE "," ";" FILES "${FILES}")
set(contents "")
set(listed "\"./\"")
foreach(file IN LISTS FILES)
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND contents "${file} ${hash}\n")
  string(APPEND listed ", \"${file}\"")
endforeach()
string(SHA256 version "${contents}")
string(SUBSTRING ${version} 0 16 VANDREL_SITE_VERSION)
set(VANDREL_SITE_FILES ${listed})
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
