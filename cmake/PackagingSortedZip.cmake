# Run by CPack after it made a ZIP: writes the archive again with zip, its entries in name order,
# without the extra fields that hold access and change times, and, when SOURCE_DATE_EPOCH is set,
# every entry at that time. CPack adds files in the order the file system lists them and records
# their access times, so two builds of one commit would not give one archive.
find_program(ZIP_EXECUTABLE zip REQUIRED)
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  if(NOT zip MATCHES "\\.zip$")
    continue()
  endif()
  get_filename_component(staging "${zip}" DIRECTORY)
  get_filename_component(top "${zip}" NAME)
  string(REGEX REPLACE "\\.zip$" "" top "${top}")
  file(GLOB_RECURSE entries RELATIVE "${staging}" LIST_DIRECTORIES false "${staging}/${top}/*")
  list(SORT entries)
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" -- ${entries}
                    WORKING_DIRECTORY "${staging}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE "${zip}")
  # -X leaves out the extra fields; ZIP keeps local time, so the times are written as UTC.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP_EXECUTABLE} -X -D -q -9 "${zip}" -- ${entries}
                  WORKING_DIRECTORY "${staging}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
