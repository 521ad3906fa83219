# SPDX-License-Identifier: GPL-3.0-or-later
# Makes takhmin.msi with wixl so that the same files give the same bytes.
# wixl and msibuild write the time they run (the summary's dates and the
# compound file's own) and a random package code (wixl 0.101 ignores
# Package/@Id): both run on a clock stopped at SOURCE_DATE_EPOCH, and the
# package code is then set to a UUID made from the files the package holds,
# so that another package gets another code, as Windows Installer asks. The
# cabinet inside carries each file's date: wixl takes copies of the files,
# dated SOURCE_DATE_EPOCH.
# Usage: cmake -DWIXL=wixl -DMSIBUILD=msibuild -DMSIINFO=msiinfo
#              -DFAKETIME=libfaketime.so.1 -DEPOCH=seconds -DWXS=takhmin.wxs
#              -DCODEPAGE=_ForceCodepage.idt -DNAMESPACE=uuid
#              -DFILES=takhmin.exe,win32/takhmin.ico -DMSI=takhmin.msi -P MakeMsi.cmake
# FILES are the files the .wxs names, relative to the folder it runs in.
string(REPLACE "," ";" FILES "${FILES}")

set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
string(TIMESTAMP stopped "%Y-%m-%d %H:%M:%S" UTC)
# libfaketime itself, not its faketime wrapper: the wrapper turns a date into
# an offset from its own clock, which runs on, and is itself faked when the
# build runs under faketime. A date without "@" stops the clock; it is read
# as local time, hence TZ. wixl writes its strings in the code page libgsf
# takes from WINDOWS_LANGUAGE.
set(run ${CMAKE_COMMAND} -E env TZ=UTC WINDOWS_LANGUAGE=ar LD_PRELOAD=${FAKETIME}
        "FAKETIME=${stopped}" FAKETIME_DONT_FAKE_MONOTONIC=1)

function(run_step)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed)
    if(failed)
        list(JOIN ARGN " " command)
        message(FATAL_ERROR "${command}: ${failed}")
    endif()
endfunction()

set(files ${MSI}.files)
file(REMOVE_RECURSE ${files})
foreach(file IN LISTS FILES)
    get_filename_component(folder ${files}/${file} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${file} ${files}/${file})
    run_step(touch --no-dereference --date=@${EPOCH} ${files}/${file})
endforeach()
file(REMOVE ${MSI})
execute_process(COMMAND ${run} ${WIXL} -a x64 -o ${MSI} ${WXS}
                WORKING_DIRECTORY ${files} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "wixl: ${failed}")
endif()
run_step(${run} ${MSIBUILD} ${MSI} -i ${CODEPAGE})

set(contents "")
foreach(file IN LISTS FILES ITEMS ${WXS} ${CODEPAGE})
    if(NOT IS_ABSOLUTE ${file})
        set(file ${files}/${file})
    endif()
    file(SHA256 ${file} hash)
    string(APPEND contents "${hash}\n")
endforeach()
string(UUID code NAMESPACE ${NAMESPACE} NAME "${contents}" TYPE SHA1 UPPER)
# msibuild -s sets the summary's subject, author, template and package code
# together; the first three are kept as wixl wrote them.
execute_process(COMMAND ${CMAKE_COMMAND} -E env WINDOWS_LANGUAGE=ar ${MSIINFO} suminfo ${MSI}
                OUTPUT_VARIABLE summary RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "msiinfo suminfo ${MSI}: ${failed}")
endif()
foreach(field Subject Author Template)
    if(NOT summary MATCHES "\n${field}: ([^\n]*)\n")
        message(FATAL_ERROR "the summary of ${MSI} has no ${field}:\n${summary}")
    endif()
    set(${field} "${CMAKE_MATCH_1}")
endforeach()
# Not through run_step: the template ("x64;1033") holds a list separator.
execute_process(COMMAND ${run} ${MSIBUILD} ${MSI} -s "${Subject}" "${Author}" "${Template}" "{${code}}"
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "msibuild -s: ${failed}")
endif()
