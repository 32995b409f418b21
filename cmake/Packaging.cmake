# vantor-setup's installation and its Debian package: the program in bin, the udev rule that gives
# the mixer's hidraw nodes to the person at the seat. `cpack -G DEB` in the build tree makes the
# package (scripts/test makes it from the release build).
install(TARGETS vantor-setup RUNTIME DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/70-vantor-setup.rules DESTINATION lib/udev/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantor-setup)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Corvena")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Firmware update wizard for the Corvena Vantor mixer")
set(CPACK_PACKAGE_DESCRIPTION
    "Updates the firmware of a Corvena Vantor USB audio mixer through its HID interface, and tests its USB audio port and Dante serial port. The udev rule gives the mixer to the person at the seat, so no root is needed.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvena firmware team <firmware@corvena.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
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
