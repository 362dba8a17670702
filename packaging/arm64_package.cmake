# Run by the native build's cpack after it has made its Debian package: the
# arm64 build's own cpack makes the arm64 package, from the same install and
# package rules configured for arm64, and it is put beside the native one.
# CPACK_FRACTALS_CPACK and _ARM64_BUILD come from package_kinds.cmake.
set(work ${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/arm64)
file(REMOVE_RECURSE ${work})
execute_process(COMMAND ${CPACK_FRACTALS_CPACK} -G DEB -B ${work}
  WORKING_DIRECTORY ${CPACK_FRACTALS_ARM64_BUILD} RESULT_VARIABLE failed)
file(GLOB packages ${work}/*_arm64.deb)
if(failed OR NOT packages)
  message(FATAL_ERROR "The arm64 build's cpack made no arm64 Debian package: see above.")
endif()
file(COPY ${packages} DESTINATION ${CPACK_PACKAGE_DIRECTORY})
foreach(package IN LISTS packages)
  get_filename_component(name ${package} NAME)
  message(STATUS "Package ${CPACK_PACKAGE_DIRECTORY}/${name} generated.")
endforeach()
