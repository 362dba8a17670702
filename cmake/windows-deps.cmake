# What the Windows configuration links against. SDL 1.2 is built from Debian's
# source package into this build tree (scripts/windows-sdl.sh) and ships as
# SDL.dll beside the programs; everything else is linked in statically, so the
# programs need no DLL beyond Windows' own and SDL.dll.
set(SDL_WINDOWS_DIR ${CMAKE_BINARY_DIR}/sdl CACHE PATH "Where SDL for Windows is fetched and built")
execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows-sdl.sh build ${SDL_WINDOWS_DIR}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "SDL for Windows could not be built; the line above says why.")
endif()
set(ENV{PKG_CONFIG_LIBDIR} ${SDL_WINDOWS_DIR}/prefix/lib/pkgconfig)
list(APPEND CMAKE_FIND_ROOT_PATH ${SDL_WINDOWS_DIR}/prefix)
pkg_check_modules(SDL REQUIRED IMPORTED_TARGET sdl)
file(COPY ${SDL_WINDOWS_DIR}/prefix/bin/SDL.dll DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})

# SDL's start-up shim: its WinMain sets SDL up and calls the program's main,
# which SDL.h renames SDL_main.
find_library(SDL_MAIN_LIBRARY SDLmain PATHS ${SDL_WINDOWS_DIR}/prefix/lib NO_DEFAULT_PATH REQUIRED)
add_library(sdl_main INTERFACE)
target_link_libraries(sdl_main INTERFACE mingw32 ${SDL_MAIN_LIBRARY} PkgConfig::SDL)

add_link_options(-static -static-libgcc -static-libstdc++ -s)
# Every program carries resources (cmake/windows-resources.cmake).
enable_language(RC)

if(BUILD_TESTING)
  # GoogleTest from Debian's source (package googletest), built by this
  # compiler, without the project's warnings; -O1 compiles it in half the time
  # of -O3, and the tests spend almost none of their time in it.
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set_target_properties(gtest gtest_main PROPERTIES COMPILE_OPTIONS -O1)

  # CTest runs the Windows tests under Wine, in a prefix of this build tree.
  include(${CMAKE_CURRENT_LIST_DIR}/wine.cmake)
  if(NOT WINE_SKIP_REASON)
    string(REPLACE "/" "\\" programs_folder "Z:${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine_run.sh ${WINE}
      ${CMAKE_BINARY_DIR}/wineprefix ${programs_folder})
  endif()
endif()
