# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the staged files before it builds the package. CPack's
# stripping leaves the .comment and .note sections in the executables;
# Debian's own packages drop them as well (dh_strip does the same).
file(GLOB_RECURSE staged LIST_DIRECTORIES false
     "${CPACK_TEMPORARY_DIRECTORY}/*/bin/*" "${CPACK_TEMPORARY_DIRECTORY}/*/games/*")
foreach(file IN LISTS staged)
    execute_process(
        COMMAND "${CPACK_TAKHMIN_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
