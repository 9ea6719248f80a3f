# cmake -DSOURCE_DIR=... -DPROJECT_VERSION=... -DTEMPLATE=... -DOUTPUT=... -P write_build_version.cmake
# Fills TEMPLATE's @GATEWAY_BUILD_VERSION@ into OUTPUT; OUTPUT is left alone when it would not change.
set(GATEWAY_BUILD_VERSION "${PROJECT_VERSION}")
find_package(Git QUIET)
if(GIT_FOUND)
  # Only a checkout of this project counts, not one that happens to hold an unpacked source tree.
  execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --show-toplevel
    WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE top RESULT_VARIABLE status
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(status EQUAL 0)
    file(REAL_PATH "${top}" top)
    file(REAL_PATH "${SOURCE_DIR}" source)
  endif()
  if(status EQUAL 0 AND top STREQUAL source)
    execute_process(COMMAND "${GIT_EXECUTABLE}" describe --tags --always --dirty
      WORKING_DIRECTORY "${SOURCE_DIR}" OUTPUT_VARIABLE describe RESULT_VARIABLE status
      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(status EQUAL 0 AND describe)
      string(APPEND GATEWAY_BUILD_VERSION " (git ${describe})")
    endif()
  endif()
endif()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
