# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers

# Builds that keep the code honest: sanitizers for the test suite and libFuzzer targets.
#
#   -DKESTRANA_SANITIZE=address,undefined   every target built with these sanitizers (GCC or Clang);
#                                           an undefined-behaviour report ends the program, so a test
#                                           that provokes one fails.
#   -DKESTRANA_FUZZ=ON                      the fuzz targets under fuzz/ (Clang only), everything
#                                           built with address and undefined-behaviour checks and
#                                           coverage for libFuzzer. tools/fuzz.sh builds and runs them.

set(KESTRANA_SANITIZE "" CACHE STRING "Sanitizers to build with, for example address,undefined")
option(KESTRANA_FUZZ "Build the libFuzzer targets (Clang only)" OFF)

if(KESTRANA_SANITIZE)
    add_compile_options(-fsanitize=${KESTRANA_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${KESTRANA_SANITIZE})
endif()

if(KESTRANA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "KESTRANA_FUZZ needs Clang (for example CXX=clang++-14)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined)
endif()
