# Reproducible builds: two builds of one commit, in any two folders, give
# the same program and the same package, byte for byte.
#
# Every time stamp written into the build's outputs is SOURCE_DATE_EPOCH:
# taken from the environment when set (as Debian's build tools set it),
# otherwise from the date of the commit checked out, when the build folder is
# configured. Included by the top-level CMakeLists.txt before the layers.

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(KARTAVIO_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${CMAKE_CURRENT_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE KARTAVIO_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE git_rc ERROR_QUIET)
    if(NOT git_rc EQUAL 0)
      set(KARTAVIO_SOURCE_DATE_EPOCH "")
    endif()
  endif()
endif()
if(NOT KARTAVIO_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(STATUS "No SOURCE_DATE_EPOCH and no commit date: the package carries build times")
  set(KARTAVIO_SOURCE_DATE_EPOCH "")
endif()

if(KARTAVIO_SOURCE_DATE_EPOCH)
  # The resource compiler stamps each file with its modification time unless
  # SOURCE_DATE_EPOCH is set: custom commands of this folder (rcc, gzip) run
  # with it.
  set_property(DIRECTORY PROPERTY RULE_LAUNCH_CUSTOM
               "${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KARTAVIO_SOURCE_DATE_EPOCH}")
  # CPack stamps the files of the package and the archive members with it
  # when it finds it in its environment: the project config file puts it there.
  set(CPACK_KARTAVIO_SOURCE_DATE_EPOCH "${KARTAVIO_SOURCE_DATE_EPOCH}")
  set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/CPackSourceDate.cmake")
endif()

# No folder of the machine that built it in the program, its debug data or
# its build-id: source and build folder are written as "." and "build"
# (in __FILE__ too). The build folder comes last, so that it wins when it
# lies inside the source folder.
add_compile_options("-ffile-prefix-map=${CMAKE_CURRENT_SOURCE_DIR}=."
                    "-ffile-prefix-map=${CMAKE_CURRENT_BINARY_DIR}=build")
