# SPDX-License-Identifier: GPL-3.0-or-later
# Writes SITE/sw.js from TEMPLATE: the list of the site's files to cache, and
# a cache version made of their contents.
# Usage: cmake -DSITE=dir -DTEMPLATE=sw.js.in -P ServiceWorker.cmake
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(hashes "")
set(list "'./'")
foreach(file IN LISTS files)
    file(SHA256 ${SITE}/${file} hash)
    string(APPEND hashes "${hash} ${file}\n")
    string(APPEND list ",\n    './${file}'")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 VERSION)
set(FILES "${list}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
