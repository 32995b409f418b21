# cmake -DSOURCE_DIR=DIR -DOUTPUT=HEADER [-DCOMMIT=HASH] -P ProgramCommit.cmake
#
# Writes HEADER with the commit the programs are built from, as PROGRAM_COMMIT: COMMIT when given
# (sources without their repository, such as a source package), else the short hash of DIR's own
# git checkout, else "unknown". Run at every build, it rewrites HEADER only when the commit changed,
# so a new commit reaches --version and an unchanged one rebuilds nothing.
cmake_minimum_required(VERSION 3.25)

if("${COMMIT}" STREQUAL "")
  set(COMMIT unknown)
  find_program(GIT git)
  if(GIT)
    # Sources that lie inside another checkout (a copy in a build tree) are not that checkout's
    # commit: only a checkout whose top is DIR itself counts.
    execute_process(COMMAND ${GIT} -C "${SOURCE_DIR}" rev-parse --show-toplevel --short HEAD
      OUTPUT_VARIABLE answer OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
    string(REPLACE "\n" ";" answer "${answer}")
    list(LENGTH answer count)
    if(status EQUAL 0 AND count EQUAL 2)
      list(GET answer 0 top)
      list(GET answer 1 hash)
      file(REAL_PATH "${SOURCE_DIR}" source)
      file(REAL_PATH "${top}" top)
      if(top STREQUAL source)
        set(COMMIT ${hash})
      endif()
    endif()
  endif()
endif()

set(content "#define PROGRAM_COMMIT \"${COMMIT}\"\n")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" written)
endif()
if(NOT "${written}" STREQUAL "${content}")
  file(WRITE "${OUTPUT}" "${content}")
endif()
