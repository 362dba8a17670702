# Run by cpack between staging a package's files and packing them: every
# staged file and folder takes SOURCE_DATE_EPOCH (package_kinds.cmake) as its
# time, which the installer keeps for the files it installs.
execute_process(COMMAND find "${CPACK_TEMPORARY_DIRECTORY}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
  COMMAND_ERROR_IS_FATAL ANY)
