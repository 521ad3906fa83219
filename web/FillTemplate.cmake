# SPDX-License-Identifier: GPL-3.0-or-later
# Writes OUTPUT from TEMPLATE, each @NAME@ replaced by the value VALUES sets
# (the script web/PageValues.cpp prints, and others, comma-separated). A name
# that VALUES does not set stops the build instead of leaving its place empty.
# Usage: cmake -DVALUES=values.cmake[,more.cmake] -DTEMPLATE=file.in -DOUTPUT=file -P FillTemplate.cmake
string(REPLACE "," ";" VALUES "${VALUES}")
foreach(values IN LISTS VALUES)
    include(${values})
endforeach()
file(READ ${TEMPLATE} text)
string(REGEX MATCHALL "@[A-Za-z_][A-Za-z0-9_]*@" names "${text}")
foreach(name IN LISTS names)
    string(REGEX REPLACE "^@(.*)@$" "\\1" name ${name})
    if(NOT DEFINED ${name})
        message(FATAL_ERROR "${TEMPLATE}: ${VALUES} sets no ${name}")
    endif()
endforeach()
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
