# SPDX-License-Identifier: GPL-3.0-or-later
# Writes into SITE every file that a later build may change under the name
# NAME.HASH.EXT, HASH being of its contents, and each file that names one
# so: the wasm as the program PROGRAM (takhmin.js) names it, each font of
# FONTS as the style sheet CSS (url(fonts/NAME.EXT)) and the start-up script
# START ('fonts/NAME.EXT') name it, the program as START imports it, then
# START as the page PAGE names it; the style sheet goes into the page whole,
# named in its Content Security Policy by its hash. A new build that
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

# The standard base64 of the SHA-256 of text, as a Content Security Policy
# names an inline element.
function(sha256_base64 text out)
    string(SHA256 hex "${text}")
    set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
    set(encoded "")
    # 32 bytes: ten groups of three, then two bytes and one '=' of padding.
    string(APPEND hex "00")
    foreach(at RANGE 0 63 6)
        string(SUBSTRING ${hex} ${at} 6 group)
        math(EXPR bits "0x${group}")
        foreach(shift 18 12 6 0)
            math(EXPR index "(${bits} >> ${shift}) & 63")
            string(SUBSTRING ${alphabet} ${index} 1 letter)
            string(APPEND encoded ${letter})
        endforeach()
    endforeach()
    string(SUBSTRING ${encoded} 0 43 encoded)
    set(${out} "${encoded}=" PARENT_SCOPE)
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
place_text("${start}" ${START} "" start_hashed)
file(GLOB stale ${SITE}/takhmin.*.css)
if(stale)
    file(REMOVE ${stale})
endif()

file(READ ${PAGE} page)
get_filename_component(css_name ${CSS} NAME)
get_filename_component(start_name ${START} NAME)
# The style sheet goes into the page, allowed by its hash.
sha256_base64("${css}" css_hash)
rename(page ${PAGE} "<link rel=\"stylesheet\" href=\"${css_name}\">" "<style>${css}</style>")
rename(page ${PAGE} "style-src 'self' " "style-src 'self' 'sha256-${css_hash}' ")
rename(page ${PAGE} "src=\"${start_name}\"" "src=\"${start_hashed}\"")
# The page's one inline script, allowed by its hash.
string(REGEX MATCH "<script>([^<]*)</script>" inline "${page}")
if(NOT inline)
    message(FATAL_ERROR "${PAGE}: no inline script to allow")
endif()
sha256_base64("${CMAKE_MATCH_1}" script_hash)
rename(page ${PAGE} "script-src 'self' " "script-src 'self' 'sha256-${script_hash}' ")
# The fonts the page asks for ahead of the style sheet.
foreach(font IN LISTS FONTS)
    get_filename_component(name ${font} NAME)
    string(FIND "${page}" "href=\"fonts/${name}\"" at)
    if(NOT at EQUAL -1)
        rename(page ${PAGE} "href=\"fonts/${name}\"" "href=\"fonts/${font_${name}}\"")
    endif()
endforeach()
# Without its comments, which are for whoever reads the source, but for the
# licence line: they would be a tenth of what comes before the first paint.
string(FIND "${page}" "<!-- SPDX-License-Identifier:" licence_at)
string(SUBSTRING "${page}" 0 ${licence_at} head)
string(SUBSTRING "${page}" ${licence_at} -1 rest)
string(FIND "${rest}" "-->" licence_end)
math(EXPR licence_end "${licence_end} + 3")
string(SUBSTRING "${rest}" 0 ${licence_end} licence)
string(SUBSTRING "${rest}" ${licence_end} -1 rest)
string(REGEX REPLACE "<!--([^-]|-[^-]|--[^>])*-->\n?" "" rest "${rest}")
file(WRITE ${SITE}/index.html "${head}${licence}${rest}")
file(WRITE ${STAMP} "${start_hashed}\n${program_hashed}\n${wasm_hashed}\n")
