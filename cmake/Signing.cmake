# Authenticode signing of the Windows program, as a step after its link, with osslsigncode. Windows
# then names the vendor when the program starts, and a changed byte breaks the signature.
#
# The certificate and its key come in one PKCS#12 file. Its password is read, when the program is
# built, from the environment variable that VANTOR_SIGN_PASSWORD_ENV names: it never enters the
# cache, a build file or a command line, where other users of the machine could read it.
set(VANTOR_SIGN_PKCS12 "" CACHE FILEPATH
  "PKCS#12 file with the code-signing certificate and its key (empty: the program is not signed)")
set(VANTOR_SIGN_PASSWORD_ENV "" CACHE STRING
  "Name of the environment variable that holds the PKCS#12 file's password at build time")
set(VANTOR_SIGN_TIMESTAMP_URL "" CACHE STRING
  "RFC 3161 time-stamping service that countersigns the signature (empty: none)")

# vantor_sign_after_link(TARGET): signs TARGET's file in place each time it is linked, when a
# certificate is configured.
function(vantor_sign_after_link target)
  if(NOT VANTOR_SIGN_PKCS12)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${PROJECT_SOURCE_DIR}/packaging/sign-program $<TARGET_FILE:${target}>
            ${VANTOR_SIGN_PKCS12} ${VANTOR_SIGN_PASSWORD_ENV} ${VANTOR_SIGN_TIMESTAMP_URL}
    VERBATIM)
endfunction()

if(VANTOR_SIGN_PKCS12 AND NOT VANTOR_SIGN_PASSWORD_ENV)
  message(FATAL_ERROR "VANTOR_SIGN_PKCS12 is given but VANTOR_SIGN_PASSWORD_ENV is not: name the "
    "environment variable that will hold the PKCS#12 file's password when the program is built.")
endif()
if(NOT VANTOR_SIGN_PKCS12)
  foreach(option VANTOR_SIGN_PASSWORD_ENV VANTOR_SIGN_TIMESTAMP_URL)
    if(${option})
      message(FATAL_ERROR "${option} is given but VANTOR_SIGN_PKCS12 is not: give the PKCS#12 "
        "file with the code-signing certificate and its key as well, or neither.")
    endif()
  endforeach()
  return()
endif()

if(NOT EXISTS "${VANTOR_SIGN_PKCS12}" OR IS_DIRECTORY "${VANTOR_SIGN_PKCS12}")
  message(FATAL_ERROR "VANTOR_SIGN_PKCS12: there is no file ${VANTOR_SIGN_PKCS12}")
endif()
if(NOT VANTOR_SIGN_PASSWORD_ENV MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
  # What was given may be the password itself: it is neither repeated nor kept.
  unset(VANTOR_SIGN_PASSWORD_ENV CACHE)
  message(FATAL_ERROR "VANTOR_SIGN_PASSWORD_ENV is the name of an environment variable, such as "
    "VANTOR_SIGN_PASSWORD, and what was given is not a name. The password itself never goes here; "
    "the value was removed from the cache.")
endif()
find_program(VANTOR_OSSLSIGNCODE osslsigncode)
if(NOT VANTOR_OSSLSIGNCODE)
  message(FATAL_ERROR "Signing needs osslsigncode (apt-get install osslsigncode).")
endif()
