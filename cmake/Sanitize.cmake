# SPDX-License-Identifier: GPL-3.0-or-later
# -DTAKHMIN_SANITIZE=ON builds every target with AddressSanitizer and
# UndefinedBehaviorSanitizer; the first report stops the program.
option(TAKHMIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

# Floating-point division by zero and casts of out-of-range doubles stay
# uninstrumented: dividing by zero is a legitimate step whose infinite or NaN
# result the fault check then reports (numtext/FaultCheck.h checks each
# operation's operands and result, not the processor's flags), and Clang's
# "undefined" group would otherwise turn it into a sanitizer report.
set(TAKHMIN_SANITIZER_FLAGS
    -fsanitize=address,undefined
    -fno-sanitize=float-divide-by-zero,float-cast-overflow
    -fno-sanitize-recover=all
    -fno-omit-frame-pointer)

if(TAKHMIN_SANITIZE)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        message(FATAL_ERROR "TAKHMIN_SANITIZE needs GCC or Clang")
    endif()
    add_compile_options(${TAKHMIN_SANITIZER_FLAGS})
    add_link_options(-fsanitize=address,undefined)
endif()
