# Read by cpack for each generator in turn.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  # The archive unpacks into a folder of its own.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
