# The Windows build, driven by the native one: this same project configured
# with cmake/mingw-w64.cmake in <build>/windows, its programs and SDL.dll in
# <build>/windows/bin. SDL's source is fetched now, while configuring, so that
# without it the native build and its tests still go ahead and the Windows
# part is reported as skipped, with the reason.
set(WINDOWS_BUILD_DIR ${CMAKE_BINARY_DIR}/windows)
set(WINDOWS_BIN ${WINDOWS_BUILD_DIR}/bin)
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows-sdl.sh fetch ${WINDOWS_BUILD_DIR}/sdl
  RESULT_VARIABLE failed ERROR_VARIABLE reason ERROR_STRIP_TRAILING_WHITESPACE)
include(${CMAKE_CURRENT_LIST_DIR}/cross-build.cmake)
if(failed)
  skip_cross_build(windows "${reason}")
  return()
endif()

# Both builds run the Windows programs under the same Wine.
include(${CMAKE_CURRENT_LIST_DIR}/wine.cmake)

# SDL for Windows takes about half a minute, mostly one configure script on
# one core; as a target of its own with nothing to wait for, it starts with
# the native build instead of after it.
add_custom_target(windows_sdl COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows-sdl.sh build ${WINDOWS_BUILD_DIR}/sdl VERBATIM)

include(ExternalProject)
ExternalProject_Add(windows
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${WINDOWS_BUILD_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
             -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=${BUILD_TESTING}
             -DWINE=${WINE} -DWINESERVER=${WINESERVER}
             -DPROGRAM_ICON_DIR=${WINDOWS_ICON_DIR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  DEPENDS windows_sdl)
# The programs' .ico files, drawn with their other icons (tools/icons).
add_dependencies(windows program_icons)

# The Windows tests join this build's test run.
join_cross_build_tests(windows ${WINDOWS_BUILD_DIR})
