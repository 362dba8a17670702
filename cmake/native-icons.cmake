# The icons a cross or web build ships are drawn by the programs' own code
# (tools/icons), which runs only on this machine. A native build that drives
# this one names itself as NATIVE_BUILD_DIR; a build made on its own (its
# preset) makes the icon drawers natively in <build>/native first. Sets
# NATIVE_BUILD_DIR and the target native_icons, which the icons' users
# depend on.
if(NATIVE_BUILD_DIR)
  add_custom_target(native_icons)
  return()
endif()
set(NATIVE_BUILD_DIR ${CMAKE_BINARY_DIR}/native)
include(ExternalProject)
ExternalProject_Add(native_icons
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${NATIVE_BUILD_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DFRACTALS_PACKAGING=OFF
             -DFRACTALS_WINDOWS=OFF -DFRACTALS_ARM64=OFF -DFRACTALS_WEB=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target program_icons
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
