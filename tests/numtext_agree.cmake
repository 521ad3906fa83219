# SPDX-License-Identifier: GPL-3.0-or-later
# Runs numtext_agree on its corpus and checks that it answered every line.
# Usage: cmake -DPROGRAM=... -DCORPUS=... -DOUTPUT=... -P numtext_agree.cmake
execute_process(COMMAND ${PROGRAM} INPUT_FILE ${CORPUS} OUTPUT_FILE ${OUTPUT}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "numtext_agree exited with ${status}")
endif()
# Counted by newlines: file(STRINGS) would drop the corpus's empty line.
file(READ ${CORPUS} corpus)
string(REGEX MATCHALL "\n" input_lines "${corpus}")
list(LENGTH input_lines inputs)
file(STRINGS ${OUTPUT} answers REGEX "^lenient [0-9a-f]+ .* [|] strict .* [|] whole .* [|] 1/x ")
list(LENGTH answers outputs)
if(NOT outputs EQUAL inputs)
    message(FATAL_ERROR "${inputs} lines in, ${outputs} well-formed lines out (see ${OUTPUT})")
endif()
message(STATUS "${outputs} lines answered; output in ${OUTPUT}")
