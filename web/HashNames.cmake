# SPDX-License-Identifier: GPL-3.0-or-later
# Writes into SITE every file that a later build may change under the name
# NAME.HASH.EXT, HASH being of its contents, and each file that names one
# so: the wasm as the program PROGRAM (takhmin.js) names it, each font of
# FONTS as the style sheet CSS (url(fonts/NAME.EXT)) and the start-up script
# START ('fonts/NAME.EXT') name it, the program as START imports it, then
# the style sheet and START as the page PAGE names them. A new build that
# changes a file changes its name, so a browser may keep every such file for
# good; the hash is of the contents alone, so that the same sources give the
# same names. Only the page and the service worker keep their names. The
# files of an earlier build go first, so that the service worker, which
# caches every file of SITE, finds only this build's.
# Usage: cmake -DSITE=dir -DPAGE=index.html -DCSS=takhmin.css -DSTART=start.js
#              -DPROGRAM=takhmin.js -DFONTS=a.woff2,b.woff2 -DSTAMP=file
#              -P HashNames.cmake
string(REPLACE "," ";" FONTS "${FONTS}")

# The file's name with the first 16 hex digits of its SHA-256 before its extension.
function(hashed_name file out)
    file(SHA256 ${file} hash)
    string(SUBSTRING ${hash} 0 16 hash)
    get_filename_component(name ${file} NAME)
    string(REGEX REPLACE "^([^.]+)(\\..*)$" "\\1.${hash}\\2" name "${name}")
    set(${out} ${name} PARENT_SCOPE)
endfunction()

# Replaces the one name in text, or stops: a reference the build no longer
# finds would leave the page asking for a file that is not there.
function(rename text_var where old new)
    string(FIND "${${text_var}}" "${old}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${where} has no ${old}")
    endif()
    string(REPLACE "${old}" "${new}" text "${${text_var}}")
    set(${text_var} "${text}" PARENT_SCOPE)
endfunction()

# Writes the file under its hashed name into SITE/FOLDER and says that name.
function(place file folder out)
    get_filename_component(name ${file} NAME)
    string(REGEX REPLACE "^([^.]+)(\\..*)$" "\\1" stem "${name}")
    string(REGEX REPLACE "^([^.]+)(\\..*)$" "\\2" extension "${name}")
    file(GLOB stale ${SITE}/${folder}${stem}${extension} ${SITE}/${folder}${stem}.*${extension})
    if(stale)
        file(REMOVE ${stale})
    endif()
    hashed_name(${file} hashed)
    file(COPY_FILE ${file} ${SITE}/${folder}${hashed})
    set(${out} ${hashed} PARENT_SCOPE)
endfunction()

# Writes text as the file named like original, beside the stamp, then into
# SITE/FOLDER under its hashed name, which it says.
function(place_text text original folder out)
    get_filename_component(name ${original} NAME)
    file(WRITE ${STAMP}.dir/${name} "${text}")
    place(${STAMP}.dir/${name} "${folder}" hashed)
    set(${out} ${hashed} PARENT_SCOPE)
endfunction()

# The program, with the name of its wasm, which Emscripten's glue asks for.
get_filename_component(program_dir ${PROGRAM} DIRECTORY)
get_filename_component(program_name ${PROGRAM} NAME)
string(REGEX REPLACE "\\.js$" ".wasm" wasm_name "${program_name}")
place(${program_dir}/${wasm_name} "" wasm_hashed)
file(READ ${PROGRAM} program)
rename(program ${PROGRAM} "\"${wasm_name}\"" "\"${wasm_hashed}\"")
place_text("${program}" ${PROGRAM} "" program_hashed)

file(READ ${CSS} css)
file(READ ${START} start)
rename(start ${START} "'./${program_name}'" "'./${program_hashed}'")
foreach(font IN LISTS FONTS)
    get_filename_component(name ${font} NAME)
    place(${font} fonts/ hashed)
    rename(css ${CSS} "url(fonts/${name})" "url(fonts/${hashed})")
    # The start-up script fetches the whole font itself, after the first paint.
    string(REPLACE "'fonts/${name}'" "'fonts/${hashed}'" start "${start}")
    set(font_${name} ${hashed})
endforeach()
place_text("${css}" ${CSS} "" css_hashed)
place_text("${start}" ${START} "" start_hashed)

file(READ ${PAGE} page)
get_filename_component(css_name ${CSS} NAME)
get_filename_component(start_name ${START} NAME)
rename(page ${PAGE} "href=\"${css_name}\"" "href=\"${css_hashed}\"")
rename(page ${PAGE} "src=\"${start_name}\"" "src=\"${start_hashed}\"")
# The fonts the page asks for ahead of the style sheet.
foreach(font IN LISTS FONTS)
    get_filename_component(name ${font} NAME)
    string(FIND "${page}" "href=\"fonts/${name}\"" at)
    if(NOT at EQUAL -1)
        rename(page ${PAGE} "href=\"fonts/${name}\"" "href=\"fonts/${font_${name}}\"")
    endif()
endforeach()
file(WRITE ${SITE}/index.html "${page}")
file(WRITE ${STAMP} "${css_hashed}\n${start_hashed}\n${program_hashed}\n${wasm_hashed}\n")
