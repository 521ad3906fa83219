# SPDX-License-Identifier: GPL-3.0-or-later
# FillTemplate.cmake on a table of small templates: each @NAME@ that the
# values set is replaced, CSS at-rules and other lone @ stay as they are, and
# a name the values do not set stops the fill instead of leaving its place
# empty.
# Usage: cmake -DFILL=FillTemplate.cmake -DDIR=scratch-folder -P FillTemplateTest.cmake
file(MAKE_DIRECTORY ${DIR})
file(WRITE ${DIR}/values.cmake "set(page_name \"تخمين الأرقام\")\nset(desktop_colour \"#6d9bd1\")\n")
# Each case: the template, then what the fill writes, or FAIL when it must stop.
set(cases
    "<title>@page_name@</title>" "<title>تخمين الأرقام</title>"
    "@media (max-width: 859px) { a { color: @desktop_colour@ } }"
    "@media (max-width: 859px) { a { color: #6d9bd1 } }"
    "@font-face { src: url(a.woff2) } @keyframes turn {}"
    "@font-face { src: url(a.woff2) } @keyframes turn {}"
    "\"name\": \"@page_name@\", \"theme\": \"@desktop_colour@\""
    "\"name\": \"تخمين الأرقام\", \"theme\": \"#6d9bd1\""
    "<p>@page_loadingText@</p>" FAIL
    "@desktop_colour@@page_nam@" FAIL
    "@Desktop_colour@" FAIL)
set(failures 0)
list(LENGTH cases count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET cases ${i} template)
    list(GET cases ${j} expected)
    file(WRITE ${DIR}/case.in "${template}\n")
    file(REMOVE ${DIR}/case.out)
    execute_process(COMMAND ${CMAKE_COMMAND} -DVALUES=${DIR}/values.cmake -DTEMPLATE=${DIR}/case.in
                            -DOUTPUT=${DIR}/case.out -P ${FILL}
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
    if(expected STREQUAL "FAIL")
        if(result EQUAL 0)
            message(SEND_ERROR "filled \"${template}\" although it names a value not set")
            math(EXPR failures "${failures} + 1")
        endif()
    elseif(NOT result EQUAL 0)
        message(SEND_ERROR "could not fill \"${template}\"")
        math(EXPR failures "${failures} + 1")
    else()
        file(READ ${DIR}/case.out written)
        if(NOT written STREQUAL "${expected}\n")
            message(SEND_ERROR "\"${template}\" became \"${written}\", not \"${expected}\"")
            math(EXPR failures "${failures} + 1")
        endif()
    endif()
endforeach()
math(EXPR total "${count} / 2")
message(STATUS "${total} templates, ${failures} wrong")
