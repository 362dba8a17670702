# The Windows build, driven by the native one: this same project configured
# with cmake/mingw-w64.cmake in <build>/windows, its programs and SDL.dll in
# <build>/windows/bin. What it needs is checked now, while configuring (the
# -posix cross compilers; to test it, Wine and GoogleTest's source; to pack
# it, makensis; SDL's source, fetched last), so that without any of it the
# native build and its tests still go ahead and the Windows part is reported
# as left out, with the reason.
set(WINDOWS_BUILD_DIR ${CMAKE_BINARY_DIR}/windows)
set(WINDOWS_BIN ${WINDOWS_BUILD_DIR}/bin)
include(${CMAKE_CURRENT_LIST_DIR}/cross-build.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/wine.cmake)
find_program(MINGW_CXX x86_64-w64-mingw32-g++-posix)
find_program(MINGW_CC x86_64-w64-mingw32-gcc-posix)
find_program(MAKENSIS makensis)
set(reason "")
if(NOT MINGW_CXX OR NOT MINGW_CC)
  set(reason "x86_64-w64-mingw32-g++-posix not found: install Debian's g++-mingw-w64-x86-64-posix (scripts/install-deps.sh) to build for Windows")
elseif(BUILD_TESTING AND NOT EXISTS /usr/src/googletest/CMakeLists.txt)
  set(reason "GoogleTest's source not found in /usr/src/googletest: install Debian's googletest (scripts/install-deps.sh) to test the Windows build")
elseif(BUILD_TESTING AND WINE_SKIP_REASON)
  set(reason "${WINE_SKIP_REASON}")
elseif(FRACTALS_PACKAGING AND NOT MAKENSIS)
  set(reason "makensis not found: install Debian's nsis (scripts/install-deps.sh) to make the Windows installer")
else()
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows-sdl.sh fetch ${WINDOWS_BUILD_DIR}/sdl
    RESULT_VARIABLE failed ERROR_VARIABLE reason ERROR_STRIP_TRAILING_WHITESPACE)
  if(NOT failed)
    set(reason "")
  elseif(NOT reason)
    set(reason "scripts/windows-sdl.sh could not fetch SDL's source")
  endif()
endif()
if(reason)
  skip_cross_build(windows "${reason}")
  return()
endif()

# SDL for Windows takes about half a minute, mostly one configure script on
# one core; as a target of its own with nothing to wait for, it starts with
# the native build instead of after it. Its configure script would take this
# machine's compiler and flags from the environment.
add_custom_target(windows_sdl
  COMMAND ${CMAKE_COMMAND} -E env --unset=CC --unset=CFLAGS --unset=CPPFLAGS --unset=LDFLAGS
          ${PROJECT_SOURCE_DIR}/scripts/windows-sdl.sh build ${WINDOWS_BUILD_DIR}/sdl VERBATIM)

include(ExternalProject)
ExternalProject_Add(windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${WINDOWS_BUILD_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
             -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=${BUILD_TESTING} ${CROSS_BUILD_FLAGS}
             -DWINE=${WINE} -DWINESERVER=${WINESERVER}
             -DNATIVE_BUILD_DIR=${CMAKE_BINARY_DIR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  DEPENDS windows_sdl)
# The programs' .ico files, drawn with their other icons (tools/icons).
add_dependencies(windows program_icons)

# The Windows tests join this build's test run.
join_cross_build_tests(windows ${WINDOWS_BUILD_DIR})
