# vantor-setup's installation and its Debian package: the program in bin, the udev rule that gives
# the mixer's hidraw nodes to the person at the seat, the manual page, the copyright and changelog,
# and a postinst that applies the rule at once. `cpack -G DEB` in the build tree makes the package
# (scripts/test makes it from the release build).
install(TARGETS vantor-setup RUNTIME DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/70-vantor-setup.rules DESTINATION lib/udev/rules.d)

# The manual page and the changelog go compressed, as Debian wants them; -n leaves the name and
# time out of the gzip header, so that the same sources make the same package.
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(compressed_dir ${CMAKE_BINARY_DIR}/packaging)
set(compressed)
foreach(source vantor-setup.1 changelog)
  add_custom_command(OUTPUT ${compressed_dir}/${source}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${compressed_dir}
    COMMAND sh -c "gzip -9 -n -c \"$1\" >\"$2\"" gzip ${packaging_dir}/${source}
      ${compressed_dir}/${source}.gz
    DEPENDS ${packaging_dir}/${source}
    VERBATIM)
  list(APPEND compressed ${compressed_dir}/${source}.gz)
endforeach()
# Made with the program, so that building vantor-setup alone, as scripts/release does, is enough
# to pack.
add_custom_target(package_documents DEPENDS ${compressed})
add_dependencies(vantor-setup package_documents)
install(FILES ${compressed_dir}/vantor-setup.1.gz DESTINATION share/man/man1)

# The machine-readable copyright file carries the licence's text from LICENSE itself: its
# paragraphs indented by one space, an empty line as " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(REGEX REPLACE "^.*\n(Permission is hereby granted)" "\\1" license "${license}")
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " license "${license}")
set(license_paragraphs " ${license}")
configure_file(${packaging_dir}/copyright.in ${compressed_dir}/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
install(FILES ${compressed_dir}/copyright ${compressed_dir}/changelog.gz
  DESTINATION share/doc/vantor-setup)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor-setup)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Corvena")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware update wizard for the Corvena Vantor mixer")
# The description's lines stay within 80 columns, as Debian asks: CPack keeps the breaks given.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Updates the firmware of a Corvena Vantor USB audio mixer through its HID\n"
  "interface, and on request tests its USB audio port and its Dante serial port.\n"
  "The wizard is drawn in the terminal, or runs unattended with -quiet, and\n"
  "ends with the same exit codes as the Windows wizard.\n"
  "\n"
  "The udev rule gives the mixer to the person at the seat, so no root is\n"
  "needed; a mixer already plugged in gets it at installation.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvena firmware team <firmware@corvena.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# A mixer already plugged in gets the udev rule at installation. Maintainer scripts get the modes
# Debian asks for (0755), whatever the checkout's.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${packaging_dir}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
# The program ships without its symbol table and debug sections, as Debian's programs do; strip
# makes the same bytes from the same program.
set(CPACK_STRIP_FILES TRUE)
# What the program links against, as Debian 12 ships it; udev applies the rule.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 12), libudev1 (>= 183), libasound2 (>= 1.0.16), udev")
# The same commit makes the same package: directories with fixed permissions whatever the umask,
# and every file dated at the commit.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_VANTOR_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageDate.cmake)
include(CPack)
