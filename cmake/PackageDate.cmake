# Run by cpack before it packs: the files in the package carry the time of the commit the sources
# come from, not the time of packing, so that the same commit makes the same package. A
# SOURCE_DATE_EPOCH already in the environment is kept.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CPACK_VANTOR_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE status ERROR_QUIET)
  if(status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
  else()
    message(WARNING "${CPACK_VANTOR_SOURCE_DIR} is not a git checkout and SOURCE_DATE_EPOCH is not "
      "set: the package's files carry the time of packing.")
  endif()
endif()
