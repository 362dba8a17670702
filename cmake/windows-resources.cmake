# Resources of the four Windows programs: each program's icon (drawn by the
# native build, cmake/native-icons.cmake), a manifest and the version information
# that Explorer's Properties show. ruletri keeps its own manifest and icon
# group 7; the SDL programs' icon group is named SDL_app, the name SDL's
# window class loads its icon by, so their windows show it too.
set(PROGRAM_ICON_DIR ${NATIVE_BUILD_DIR}/tools/icons/windows)

set(PRODUCT "Fractals")
set(VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
set(VERSION_DOTS "${PROJECT_VERSION}.0")

function(add_windows_resources PROGRAM DESCRIPTION)
  set(ICON_FILE ${PROGRAM_ICON_DIR}/${PROGRAM}.ico)
  set(folder ${CMAKE_BINARY_DIR}/resources)
  if(PROGRAM STREQUAL "ruletri")
    set(ICON_NAME 7)
    set(MANIFEST_FILE ${PROJECT_SOURCE_DIR}/ruletri/resources/ruletri.manifest)
  else()
    set(ICON_NAME SDL_app)
    set(MANIFEST_FILE ${folder}/${PROGRAM}.manifest)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/sdl_program.manifest.in ${MANIFEST_FILE} @ONLY)
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in ${folder}/${PROGRAM}.rc @ONLY)
  set_source_files_properties(${folder}/${PROGRAM}.rc TARGET_DIRECTORY ${PROGRAM}
    PROPERTIES OBJECT_DEPENDS "${ICON_FILE};${MANIFEST_FILE}")
  target_sources(${PROGRAM} PRIVATE ${folder}/${PROGRAM}.rc)
  add_dependencies(${PROGRAM} native_icons)
endfunction()

add_windows_resources(tetrachaos "tetrachaos - a turning Sierpinski tetrahedron")
add_windows_resources(ngonchaos "ngonchaos - the chaos game in a polygon")
add_windows_resources(escapeplot "escapeplot - the Mandelbrot set by escape time")
add_windows_resources(ruletri "ruletri - a triangle grown by a cellular automaton")
