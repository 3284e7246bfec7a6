# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Kestrana developers

# The compiler and linker flags Debian builds its packages with, for the build the .deb files are made
# from (tools/package.sh turns this on):
#
#   -DKESTRANA_DEBIAN_FLAGS=ON   CPPFLAGS and CXXFLAGS, and LDFLAGS, from dpkg-buildflags with every
#                                hardening feature: stack protector, _FORTIFY_SOURCE, format checks,
#                                full RELRO with immediate binding (-z relro -z now), and PIE.
#
# Debian's flags come first and the build type's after them, so a Release build keeps its -O3.
option(KESTRANA_DEBIAN_FLAGS "Build with the flags of dpkg-buildflags, hardening included (for the .deb)" OFF)

if(KESTRANA_DEBIAN_FLAGS)
    find_program(DPKG_BUILDFLAGS_EXE dpkg-buildflags REQUIRED)
    # Asked from the source folder, so that the reproducible-build path maps name it.
    function(kestrana_debian_flags name result)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${DPKG_BUILDFLAGS_EXE} --get ${name}
            WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
            COMMAND_ERROR_IS_FATAL ANY)
        set(${result} "${flags}" PARENT_SCOPE)
    endfunction()
    kestrana_debian_flags(CPPFLAGS KESTRANA_DEB_CPPFLAGS)
    kestrana_debian_flags(CXXFLAGS KESTRANA_DEB_CXXFLAGS)
    kestrana_debian_flags(LDFLAGS KESTRANA_DEB_LDFLAGS)
    set(CMAKE_CXX_FLAGS "${KESTRANA_DEB_CPPFLAGS} ${KESTRANA_DEB_CXXFLAGS} ${CMAKE_CXX_FLAGS}")
    set(CMAKE_EXE_LINKER_FLAGS "${KESTRANA_DEB_LDFLAGS} ${CMAKE_EXE_LINKER_FLAGS}")
    # Position-independent executables (compiled -fPIE, linked -pie), whatever the compiler's default.
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES CXX)
    message(STATUS "Debian build flags: ${KESTRANA_DEB_CPPFLAGS} ${KESTRANA_DEB_CXXFLAGS} | ${KESTRANA_DEB_LDFLAGS}")
endif()
