# SPDX-License-Identifier: GPL-3.0-or-later
# Writes into SITE the files that are named by a hash of their contents,
# NAME.HASH.EXT, and the page that names them so: each font of FONTS as the
# style sheet CSS names it (url(fonts/NAME.EXT)), then the style sheet and
# the start-up script START as the page PAGE names them. A new build that
# changes a file changes its name, so a browser may keep every such file for
# good; the hash is of the contents alone, so that the same sources give the
# same names. The files of an earlier build go first, so that the service
# worker, which caches every file of SITE, finds only this build's.
# Usage: cmake -DSITE=dir -DPAGE=index.html -DCSS=takhmin.css -DSTART=start.js
#              -DFONTS=a.woff2,b.woff2 -DSTAMP=file -P HashNames.cmake
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

file(READ ${CSS} css)
foreach(font IN LISTS FONTS)
    get_filename_component(name ${font} NAME)
    place(${font} fonts/ hashed)
    rename(css ${CSS} "url(fonts/${name})" "url(fonts/${hashed})")
    set(font_${name} ${hashed})
endforeach()
# The style sheet as it names the fonts, beside the stamp, then into SITE.
get_filename_component(css_name ${CSS} NAME)
file(WRITE ${STAMP}.dir/${css_name} "${css}")
place(${STAMP}.dir/${css_name} "" css_hashed)
place(${START} "" start_hashed)

file(READ ${PAGE} page)
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
file(WRITE ${STAMP} "${css_hashed}\n${start_hashed}\n")
