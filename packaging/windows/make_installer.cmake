# Run by cpack after it has made the zip: makensis writes the installer
# beside it, from the files cpack staged for the zip (with their times set by
# stage_for_packing.cmake). CPACK_FRACTALS_MAKENSIS, _INSTALLER_SCRIPT and
# _INSTALLER_NAME come from package_kinds.cmake.
set(installer ${CPACK_PACKAGE_DIRECTORY}/${CPACK_FRACTALS_INSTALLER_NAME})
# The zip's one component, under the zip's top folder.
set(stage ${CPACK_TEMPORARY_DIRECTORY}/windows/${CPACK_PACKAGE_FILE_NAME})
execute_process(COMMAND ${CPACK_FRACTALS_MAKENSIS} -V2 -DOUTFILE=${installer} -DSTAGE=${stage}
  ${CPACK_FRACTALS_INSTALLER_SCRIPT}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "makensis could not make the Windows installer: see above.")
endif()
message(STATUS "Windows installer ${installer} generated.")
