# Run by cpack after it has made the zip, before it copies it out: cpack
# writes the owner of each staged file into the zip (Info-ZIP's 'ux' field),
# which would tell one builder from another; every entry belongs to root.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND perl ${CMAKE_CURRENT_LIST_DIR}/zip_owners.pl ${package} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
